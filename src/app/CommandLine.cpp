#include "CommandLine.h"

#include "ColorSetStore.h"
#include "SchemeCheck.h"
#include "SetNameFile.h"

#include <QDir>
#include <QFile>

#include <cstring>

namespace tintaro {
namespace {

constexpr char kUsage[] =
    "Usage: tintaro [--check-set NAME | --check-set all | --help]\n"
    "Without an option, Tintaro2.0 opens its window.\n"
    "\n"
    "  --check-set NAME  check the contrast of the saved colour set NAME: the text\n"
    "                    and each link on the background, and the normal and\n"
    "                    visited link against the text (WCAG 2.2), a line a pair\n"
    "  --check-set all   the same for every saved colour set\n"
    "  --help            print this text\n"
    "\n"
    "The sets are read from the current folder (the launcher enters the data\n"
    "folder first). Exit status: 0 every pair passes AA, 3 some pair fails, 2 bad\n"
    "input (no such set, a damaged record, an unreadable file). No display is\n"
    "needed.\n";

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
    const char* wanted = nullptr;
    int used = 2;
    if (std::strncmp(option, "--check-set=", 12) == 0) {
        wanted = option + 12;
    } else if (std::strcmp(option, "--check-set") == 0) {
        wanted = argc > 2 ? argv[2] : nullptr;
        used = 3;
    } else {
        return std::nullopt;
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

    // One open file for all the records: a missing or short file gives
    // records that lack colours, which are reported below.
    QFile colours(ColorSetStore::coloursFileInUse());
    const bool open = colours.open(QIODevice::ReadOnly);
    bool damaged = false, failed = false;
    SchemeCheck check;
    for (const int p : positions) {
        ColorSetRecord record;
        if (open && colours.seek(qint64(p) * ColorSetRecord::kSize))
            record = ColorSetRecord::fromBytes(colours.read(ColorSetRecord::kSize));
        SchemeCheck::Scheme scheme;
        for (int f = 0; f < ColorSetRecord::kFieldCount; ++f)
            scheme[f] = record.color(ColorSetRecord::Field(f));
        check.evaluate(scheme);
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

} // namespace tintaro
