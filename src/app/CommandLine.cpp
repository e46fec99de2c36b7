#include "CommandLine.h"

#include "ColorSetStore.h"
#include "CssForms.h"
#include "CssNames.h"
#include "CssParser.h"
#include "ExportSource.h"
#include "PaletteExport.h"
#include "SchemeCheck.h"
#include "SetNameFile.h"

#include <QDir>
#include <QFile>

#include <cstring>

namespace tintaro {
namespace {

constexpr char kUsage[] =
    "Usage: tintaro [OPTION]\n"
    "Without an option, Tintaro2.0 opens its window.\n"
    "\n"
    "  --check-set NAME  check the contrast of the saved colour set NAME: the text\n"
    "                    and each link on the background, and the normal and\n"
    "                    visited link against the text (WCAG 2.2), a line a pair\n"
    "  --check-set all   the same for every saved colour set\n"
    "  --format FORM COLOUR\n"
    "                    print COLOUR (written in any CSS form: #RRGGBB, rgb(),\n"
    "                    hsl(), hwb(), lab(), lch(), oklab(), oklch(),\n"
    "                    color(srgb ...), a name) in FORM: hex, hex3, rgb,\n"
    "                    rgb-legacy, hsl, hwb, lab, lch, oklab, oklch, srgb, name,\n"
    "                    or all (every form, a line each)\n"
    "  --export FORMAT [--palette user|websafe] [--sets] [-o FILE]\n"
    "                    write the user's colours (the default, oldest first), the\n"
    "                    web-safe colours and/or every saved colour set as FORMAT:\n"
    "                    gpl, css, scss, tokens, ase, hex; to FILE (replaced in one\n"
    "                    step) or to the standard output\n"
    "  --pick [--format FORM] [--copy]\n"
    "                    freeze the screen at once and pick one colour: a click or\n"
    "                    Return prints it (#RRGGBB, or FORM as for --format) and\n"
    "                    ends with 0; Escape or a right click prints nothing and\n"
    "                    ends with 2. --copy puts it on the clipboard too, where it\n"
    "                    stays after the program has ended. Needs a display; reads\n"
    "                    and writes no file\n"
    "  --help            print this text\n"
    "\n"
    "The files are read from the current folder (the launcher enters the data\n"
    "folder first). Exit status: 0 done (--check-set: every pair passes AA), 3 some\n"
    "pair fails, 2 bad input (the message names it). Only --pick needs a display.\n";

void print(std::FILE* to, const QString& line)
{
    const QByteArray bytes = line.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), to);
    std::fputc('\n', to);
}

QString quoted(const QString& name)
{
    return QLatin1Char('"') + name + QLatin1Char('"');
}

} // namespace

std::optional<int> CommandLine::run(int argc, const char* const* argv, std::FILE* out,
                                    std::FILE* err)
{
    if (argc < 2)
        return std::nullopt;
    const char* option = argv[1];
    if (std::strcmp(option, "--help") == 0 || std::strcmp(option, "-h") == 0) {
        std::fputs(kUsage, out);
        return kDone;
    }
    if (std::strcmp(option, "--format") == 0)
        return formatColour(argc - 2, argv + 2, out, err);
    if (std::strcmp(option, "--export") == 0)
        return exportColours(argc - 2, argv + 2, out, err);
    const char* wanted = nullptr;
    int used = 2;
    if (std::strncmp(option, "--check-set=", 12) == 0) {
        wanted = option + 12;
    } else if (std::strcmp(option, "--check-set") == 0) {
        wanted = argc > 2 ? argv[2] : nullptr;
        used = 3;
    } else if (std::strcmp(option, "--pick") == 0) {
        return checkPick(argc - 2, argv + 2, err);
    } else {
        return checkUnknown(argc - 1, argv + 1, err);
    }
    if (!wanted || !*wanted) {
        std::fputs("tintaro: --check-set needs the name of a saved set, or all\n", err);
        return kBadInput;
    }
    if (argc > used) {
        std::fprintf(err, "tintaro: unexpected argument after --check-set: %s\n", argv[used]);
        return kBadInput;
    }
    return checkSets(wanted, out, err);
}

int CommandLine::checkSets(const char* wanted, std::FILE* out, std::FILE* err)
{
    const QString folder = QDir::toNativeSeparators(QDir::currentPath());
    const SetNameFile::LoadResult names =
        SetNameFile::load(QString::fromLatin1(ColorSetStore::kNamesFile));
    if (!names.ok) {
        print(err, QStringLiteral("tintaro: cannot read \"%1\" in \"%2\": %3")
                       .arg(QLatin1String(ColorSetStore::kNamesFile), folder, names.error));
        return kBadInput;
    }
    const bool all = std::strcmp(wanted, "all") == 0;
    const QString name = QString::fromLocal8Bit(wanted);
    std::vector<int> positions;
    for (int p = 0; p < names.names.size(); ++p)
        if (all || names.names[p] == name)
            positions.push_back(p);
    if (positions.empty()) {
        print(err, all ? QStringLiteral("tintaro: \"%1\" in \"%2\" holds no saved set")
                             .arg(QLatin1String(ColorSetStore::kNamesFile), folder)
                       : QStringLiteral("tintaro: no saved set is named %1 in \"%2\"")
                             .arg(quoted(name), folder));
        return kBadInput;
    }
    if (!all && positions.size() > 1)
        print(out, QStringLiteral("%1 saved sets are named %2: checking each")
                       .arg(positions.size())
                       .arg(quoted(name)));

    QFile colours(ColorSetStore::coloursFileInUse());
    (void)colours.open(QIODevice::ReadOnly); // missing: every set damaged, said below
    bool damaged = false, failed = false;
    SchemeCheck check;
    for (const int p : positions) {
        check.evaluate(ColorSetRecord::readAt(colours, p).knownColors());
        print(out, QStringLiteral("Set %1 (%2 of %3)")
                       .arg(quoted(names.names[p]))
                       .arg(p + 1)
                       .arg(names.names.size()));
        for (const SchemeCheck::Pair& pair : check.pairs())
            print(out, QStringLiteral("  ") + SchemeCheck::pairLine(pair));
        for (const SchemeCheck::VisionFlag& flag : check.visionFlags())
            print(out, QStringLiteral("  note: ") + SchemeCheck::flagLine(flag));
        if (check.anyUnknown()) {
            damaged = true;
            print(err, QStringLiteral("tintaro: the saved set %1 (%2 of %3) has a damaged or "
                                      "missing colour record in \"%4\"")
                           .arg(quoted(names.names[p]))
                           .arg(p + 1)
                           .arg(names.names.size())
                           .arg(colours.fileName()));
        }
        failed = failed || !check.allPassAa();
    }
    std::fflush(out);
    return damaged ? kBadInput : failed ? kCheckFailed : kDone;
}

namespace {

// Qt's own options, which the application takes from the command line;
// those that take a value, and those that stand alone. Qt reads them with
// one dash or two.
const char* const kQtValueOptions[] = {
    "platform",    "platformpluginpath", "platformtheme", "plugin",  "qwindowgeometry",
    "qwindowicon", "qwindowtitle",       "session",       "display", "geometry",
    "style",       "stylesheet",         "qmljsdebugger"};
const char* const kQtFlagOptions[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

bool isOneOf(const char* name, const char* const* list, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        if (std::strcmp(name, list[i]) == 0)
            return true;
    return false;
}

int unknown(const char* arg, std::FILE* err)
{
    std::fprintf(err, "tintaro: unknown option \"%s\"\n\n", arg);
    std::fputs(kUsage, err);
    return CommandLine::kBadInput;
}

} // namespace

// Without one of ours, the arguments may hold only Qt's options.
std::optional<int> CommandLine::checkUnknown(int argc, const char* const* argv, std::FILE* err)
{
    for (int i = 0; i < argc; ++i) {
        const char* name = argv[i];
        if (name[0] != '-')
            return unknown(argv[i], err);
        name += name[1] == '-' ? 2 : 1;
        // "-style=fusion" carries its value; "-style fusion" takes the next word.
        const QByteArray bare = QByteArray(name).split('=').constFirst();
        const bool joined = std::strchr(name, '=') != nullptr;
        if (isOneOf(bare.constData(), kQtValueOptions, std::size(kQtValueOptions)) &&
            (joined || i + 1 < argc))
            i += joined ? 0 : 1;
        else if (joined || !isOneOf(name, kQtFlagOptions, std::size(kQtFlagOptions)))
            return unknown(argv[i], err);
    }
    return std::nullopt;
}

std::optional<OneShotPick::Request> CommandLine::pickRequest(int argc, const char* const* argv)
{
    if (argc < 2 || std::strcmp(argv[1], "--pick") != 0)
        return std::nullopt;
    OneShotPick::Request request;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--copy") == 0)
            request.copy = true;
        else if (std::strcmp(argv[i], "--format") == 0 && i + 1 < argc)
            request.form = cssFormFromKey(QString::fromLocal8Bit(argv[++i]));
    }
    return request;
}

std::optional<int> CommandLine::checkPick(int argc, const char* const* argv, std::FILE* err)
{
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--copy") == 0)
            continue;
        if (std::strcmp(argv[i], "--format") == 0) {
            if (i + 1 >= argc || !cssFormFromKey(QString::fromLocal8Bit(argv[i + 1]))) {
                std::fprintf(err,
                             "tintaro: --pick --format needs a form: hex, hex3, rgb, rgb-legacy, "
                             "hsl, hwb, lab, lch, oklab, oklch, srgb or name\n");
                return kBadInput;
            }
            ++i;
            continue;
        }
        return unknown(argv[i], err);
    }
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // Without a display Qt would end the process with a crash report; a
    // script is owed a plain message and the bad-input status.
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    const bool needsDisplay =
        platform.isEmpty() || platform.startsWith("xcb") || platform.startsWith("wayland");
    if (needsDisplay && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        std::fputs("tintaro: --pick needs a display, and neither DISPLAY nor WAYLAND_DISPLAY is "
                   "set\n",
                   err);
        return kBadInput;
    }
#endif
    return std::nullopt;
}

int CommandLine::formatColour(int argc, const char* const* argv, std::FILE* out, std::FILE* err)
{
    if (argc != 2) {
        std::fputs("tintaro: --format needs a form and a colour, as in: --format oklch "
                   "\"#80FFCC\"\n",
                   err);
        return kBadInput;
    }
    const QString key = QString::fromLocal8Bit(argv[0]);
    const std::optional<CssForm> form = cssFormFromKey(key);
    if (!form && key != QLatin1String("all")) {
        print(err, QStringLiteral("tintaro: unknown form \"%1\" (hex, hex3, rgb, rgb-legacy, "
                                  "hsl, hwb, lab, lch, oklab, oklch, srgb, name or all)")
                       .arg(key));
        return kBadInput;
    }
    QString why;
    const std::optional<ColorValue> colour = parseCssColor(QString::fromLocal8Bit(argv[1]), &why);
    if (!colour) {
        print(err, QStringLiteral("tintaro: \"%1\" is not a colour: %2")
                       .arg(QString::fromLocal8Bit(argv[1]), why));
        return kBadInput;
    }
    if (!form) {
        for (const CssFormText& f : cssTexts(*colour))
            if (f.form != CssForm::Name)
                print(out, cssFormKey(f.form) + QStringLiteral(": ") + f.text);
        print(out, QStringLiteral("name: ") + nearestNameText(*colour));
        return kDone;
    }
    if (*form == CssForm::Name) {
        print(out, nearestNameText(*colour));
        return kDone;
    }
    const std::optional<QString> text = cssText(*colour, *form);
    if (!text) {
        print(err, QStringLiteral("tintaro: %1 has no %2 form")
                       .arg(ColorToHtml(*colour), cssFormKey(*form)));
        return kBadInput;
    }
    print(out, *text);
    return kDone;
}

int CommandLine::exportColours(int argc, const char* const* argv, std::FILE* out, std::FILE* err)
{
    const std::optional<ExportFormat> format =
        argc > 0 ? PaletteExport::exportFormatFromKey(QString::fromLocal8Bit(argv[0]))
                 : std::nullopt;
    if (!format) {
        std::fputs("tintaro: --export needs a format: gpl, css, scss, tokens, ase or hex\n", err);
        return kBadInput;
    }
    QStringList palettes;
    bool sets = false;
    QString target;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--palette" && i + 1 < argc &&
            (qstrcmp(argv[i + 1], "user") == 0 || qstrcmp(argv[i + 1], "websafe") == 0)) {
            palettes << QString::fromLatin1(argv[++i]);
        } else if (arg == "--sets") {
            sets = true;
        } else if (arg == "-o" && i + 1 < argc) {
            target = QString::fromLocal8Bit(argv[++i]);
        } else {
            print(err, QStringLiteral("tintaro: --export does not take \"%1\" here (--palette "
                                      "user|websafe, --sets, -o FILE)")
                           .arg(QString::fromLocal8Bit(arg)));
            return kBadInput;
        }
    }
    if (palettes.isEmpty() && !sets)
        palettes << QStringLiteral("user");

    std::vector<ColorGroup> groups;
    QString error;
    for (const QString& which : palettes) {
        const bool done =
            which == QLatin1String("user")
                ? ExportSource::addUserPalette(groups, ExportSource::Order::FileOrder, &error)
                : ExportSource::addWebSafePalette(groups, &error);
        if (!done) {
            print(err, QStringLiteral("tintaro: ") + error);
            return kBadInput;
        }
    }
    if (sets && !ExportSource::addColourSets(groups, &error)) {
        print(err, QStringLiteral("tintaro: ") + error);
        return kBadInput;
    }
    const QByteArray bytes = PaletteExport::exportGroups(groups, *format);
    if (target.isEmpty()) {
        std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), out);
        std::fflush(out);
        return kDone;
    }
    if (!PaletteExport::writeExport(target, bytes, &error)) {
        print(err, QStringLiteral("tintaro: ") + error);
        return kBadInput;
    }
    return kDone;
}

} // namespace tintaro
