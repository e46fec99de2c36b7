#include "PaletteExport.h"

#include "AtomicFileWriter.h"
#include "PaletteGrid.h"
#include "UniqueNames.h"

#include <QFileInfo>
#include <QStringList>
#include <QtEndian>

#include <cstring>
#include <string>
#include <string_view>

namespace tintaro {

namespace {

constexpr ExportFormat kFormats[] = {ExportFormat::Gpl,  ExportFormat::Css,
                                     ExportFormat::Scss, ExportFormat::Tokens,
                                     ExportFormat::Ase,  ExportFormat::HexList};

QString quoted(const QString& name)
{
    return QLatin1Char('"') + name + QLatin1Char('"');
}

QString nameOf(const NamedColor& color)
{
    return color.name.isEmpty() ? ColorToHtml(color.color) : color.name;
}

// "#RRGGBB", or "#rrggbb" for tokens, copied in without a conversion of its own.
void appendHtml(QByteArray& out, ColorValue color, bool lowerCase = false)
{
    const QString html = ColorToHtml(color);
    char text[7];
    for (int i = 0; i < 7; ++i) {
        const char ch = char(html[i].unicode());
        text[i] = lowerCase && ch >= 'A' && ch <= 'F' ? char(ch | 0x20) : ch;
    }
    out.append(text, 7);
}

// Names are nearly always ASCII: only the others pay for a conversion.
void toUtf8(QStringView text, std::string& out)
{
    out.clear();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].unicode() >= 0x80) {
            const QByteArray rest = text.mid(i).toUtf8();
            out.append(rest.constData(), std::size_t(rest.size()));
            return;
        }
        out += char(text[i].unicode());
    }
}

using AsciiWriter = void (*)(QByteArray& out, char ch);

// A name must not break the line it stands on.
void lineAscii(QByteArray& out, char ch)
{
    out += uchar(ch) < 0x20 || ch == 0x7F ? ' ' : ch;
}

void jsonAscii(QByteArray& out, char ch)
{
    if (ch == '"' || ch == '\\') {
        out += '\\';
        out += ch;
    } else if (uchar(ch) < 0x20) {
        constexpr char kDigits[] = "0123456789abcdef";
        const char escape[6] = {'\\', 'u', '0', '0', kDigits[ch >> 4], kDigits[ch & 15]};
        out.append(escape, 6);
    } else {
        out += ch;
    }
}

// UTF-8 text, every ASCII character through `ascii`: bytes of multi-byte
// sequences all have the top bit set, so they pass as they are.
void appendText(QByteArray& out, std::string_view utf8, AsciiWriter ascii)
{
    for (const char byte : utf8) {
        if (uchar(byte) >= 0x80)
            out += byte;
        else
            ascii(out, byte);
    }
}

// Letters and digits of any script in lower case, every run of anything else
// as one hyphen, none at either end: "Sky  Blue!" -> "sky-blue". Sass takes
// "_" and "-" for the same character, so an underscore is a hyphen too.
std::string slugOf(QStringView text)
{
    std::string slug;
    bool gap = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t ch = text[i].unicode();
        if (QChar::isHighSurrogate(ch) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ch = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        const bool ascii = ch < 0x80;
        const bool kept =
            ascii ? (ch >= '0' && ch <= '9') || ((ch | 0x20) >= 'a' && (ch | 0x20) <= 'z')
                  : QChar::isLetterOrNumber(ch);
        if (!kept) {
            gap = true;
            continue;
        }
        if (gap && !slug.empty())
            slug += '-';
        gap = false;
        if (ascii) {
            slug += char(ch >= 'A' && ch <= 'Z' ? ch | 0x20 : ch);
        } else {
            const char32_t lower = QChar::toLower(ch);
            const QByteArray bytes = QString::fromUcs4(&lower, 1).toUtf8();
            slug.append(bytes.constData(), std::size_t(bytes.size()));
        }
    }
    return slug;
}

// A CSS and Sass identifier from a slugged group name and a colour's name.
std::string identifierOf(const std::string& groupSlug, QStringView name)
{
    std::string identifier = groupSlug;
    const std::string tail = slugOf(name);
    if (!identifier.empty() && !tail.empty())
        identifier += '-';
    identifier += tail;
    // Neither language lets an identifier start with a digit, and "--" or "$" alone names nothing.
    if (identifier.empty())
        return "color";
    if (identifier[0] >= '0' && identifier[0] <= '9')
        identifier.insert(0, "color-");
    return identifier;
}

// Token names may not start with "$" nor hold ".", "{" or "}", which the
// format keeps for its own properties and references. Empty when nothing is left.
std::string tokenNameOf(QStringView name)
{
    std::string token;
    toUtf8(name, token);
    token.erase(0, token.find_first_not_of('$'));
    for (char& ch : token) {
        if (ch == '.' || ch == '{' || ch == '}')
            ch = '-';
    }
    return token;
}

qsizetype colorCount(const std::vector<ColorGroup>& groups)
{
    qsizetype count = 0;
    for (const ColorGroup& group : groups)
        count += qsizetype(group.colors.size());
    return count;
}

// "%3d", as GIMP writes its palettes.
void appendLevel(QByteArray& out, int level)
{
    const char text[3] = {level >= 100 ? char('0' + level / 100) : ' ',
                          level >= 10 ? char('0' + level / 10 % 10) : ' ', char('0' + level % 10)};
    out.append(text, 3);
}

QByteArray gpl(const std::vector<ColorGroup>& groups)
{
    QStringList names;
    for (const ColorGroup& group : groups) {
        if (!group.name.isEmpty())
            names << group.name;
    }
    QByteArray out;
    out.reserve(64 + colorCount(groups) * 24);
    std::string utf8;
    out += "GIMP Palette\nName: ";
    toUtf8(names.join(QStringLiteral(", ")), utf8);
    appendText(out, utf8, lineAscii);
    // As many columns as the program's own grid, so that GIMP lays the colours out alike.
    out += "\nColumns: " + QByteArray::number(PaletteGrid::kColumns) + "\n#\n";
    for (const ColorGroup& group : groups) {
        if (!group.name.isEmpty()) {
            out += "# ";
            toUtf8(group.name, utf8);
            appendText(out, utf8, lineAscii);
            out += '\n';
        }
        for (const NamedColor& color : group.colors) {
            appendLevel(out, GetRed(color.color));
            out += ' ';
            appendLevel(out, GetGreen(color.color));
            out += ' ';
            appendLevel(out, GetBlue(color.color));
            out += '\t';
            toUtf8(nameOf(color), utf8);
            appendText(out, utf8, lineAscii);
            out += '\n';
        }
    }
    return out;
}

// CSS custom properties and Sass variables: one flat list of names, so the
// names are unique across groups.
QByteArray variables(const std::vector<ColorGroup>& groups, const char* head, const char* prefix,
                     const char* tail)
{
    QByteArray out(head);
    out.reserve(64 + colorCount(groups) * 40);
    UniqueNames taken(std::size_t(colorCount(groups)));
    for (const ColorGroup& group : groups) {
        const std::string groupSlug = slugOf(group.name);
        for (const NamedColor& color : group.colors) {
            out += prefix;
            const std::string_view name = taken.take(identifierOf(groupSlug, nameOf(color)));
            out.append(name.data(), qsizetype(name.size()));
            out += ": ";
            appendHtml(out, color.color);
            out += ";\n";
        }
    }
    out += tail;
    return out;
}

QByteArray tokens(const std::vector<ColorGroup>& groups)
{
    QByteArray out("{");
    out.reserve(64 + colorCount(groups) * 60);
    UniqueNames groupNames;
    for (const ColorGroup& group : groups) {
        out += groupNames.isEmpty() ? "\n  \"" : ",\n  \"";
        std::string groupName = tokenNameOf(group.name);
        if (groupName.empty())
            groupName = "colors";
        appendText(out, groupNames.take(groupName), jsonAscii);
        out += "\": {";
        UniqueNames colorNames(group.colors.size());
        for (const NamedColor& color : group.colors) {
            out += colorNames.isEmpty() ? "\n    \"" : ",\n    \"";
            std::string name = tokenNameOf(color.name);
            if (name.empty())
                toUtf8(ColorToHtml(color.color), name);
            appendText(out, colorNames.take(name), jsonAscii);
            out += "\": { \"$type\": \"color\", \"$value\": \"";
            appendHtml(out, color.color, true);
            out += "\" }";
        }
        out += group.colors.empty() ? "}" : "\n  }";
    }
    out += groups.empty() ? "}\n" : "\n}\n";
    return out;
}

void put16(QByteArray& out, quint16 value)
{
    char bytes[2];
    qToBigEndian(value, bytes);
    out.append(bytes, 2);
}

void put32(QByteArray& out, quint32 value)
{
    char bytes[4];
    qToBigEndian(value, bytes);
    out.append(bytes, 4);
}

void putLevel(QByteArray& out, int level)
{
    const float unit = float(level / 255.0);
    quint32 bits;
    std::memcpy(&bits, &unit, sizeof bits);
    put32(out, bits);
}

// The name's length is a 16-bit count that includes the closing zero: a
// longer name is cut, never inside a surrogate pair.
QStringView aseName(QStringView name)
{
    constexpr qsizetype kLongest = 0xFFFE;
    if (name.size() <= kLongest)
        return name;
    return name.left(name[kLongest - 1].isHighSurrogate() ? kLongest - 1 : kLongest);
}

// Length, UTF-16 big-endian, closing zero.
void putAseName(QByteArray& out, QStringView name)
{
    put16(out, quint16(name.size() + 1));
    for (const QChar ch : name)
        put16(out, ch.unicode());
    put16(out, 0);
}

QByteArray ase(const std::vector<ColorGroup>& groups)
{
    constexpr quint16 kGroupStart = 0xC001;
    constexpr quint16 kGroupEnd = 0xC002;
    constexpr quint16 kColorEntry = 0x0001;
    constexpr quint16 kNormalColor = 2;

    const qsizetype colors = colorCount(groups);
    QByteArray out("ASEF");
    out.reserve(12 + qsizetype(groups.size()) * 64 + colors * 60);
    put16(out, 1); // version 1.0
    put16(out, 0);
    put32(out, quint32(groups.size() * 2 + colors));
    for (const ColorGroup& group : groups) {
        const QStringView groupName = aseName(group.name);
        put16(out, kGroupStart);
        put32(out, quint32(2 + 2 * (groupName.size() + 1)));
        putAseName(out, groupName);
        for (const NamedColor& color : group.colors) {
            const QString fullName = nameOf(color);
            const QStringView name = aseName(fullName);
            put16(out, kColorEntry);
            put32(out, quint32(2 + 2 * (name.size() + 1) + 4 + 3 * 4 + 2));
            putAseName(out, name);
            out += "RGB ";
            putLevel(out, GetRed(color.color));
            putLevel(out, GetGreen(color.color));
            putLevel(out, GetBlue(color.color));
            put16(out, kNormalColor);
        }
        put16(out, kGroupEnd);
        put32(out, 0);
    }
    return out;
}

QByteArray hexList(const std::vector<ColorGroup>& groups)
{
    QByteArray out;
    out.reserve(colorCount(groups) * 8);
    for (const ColorGroup& group : groups) {
        for (const NamedColor& color : group.colors) {
            appendHtml(out, color.color);
            out += '\n';
        }
    }
    return out;
}

} // namespace

std::optional<ExportFormat> PaletteExport::exportFormatFromKey(QStringView key)
{
    for (const ExportFormat format : kFormats) {
        if (key.compare(exportFormatKey(format), Qt::CaseInsensitive) == 0)
            return format;
    }
    return std::nullopt;
}

QString PaletteExport::exportFormatKey(ExportFormat format)
{
    switch (format) {
    case ExportFormat::Gpl:
        return QStringLiteral("gpl");
    case ExportFormat::Css:
        return QStringLiteral("css");
    case ExportFormat::Scss:
        return QStringLiteral("scss");
    case ExportFormat::Tokens:
        return QStringLiteral("tokens");
    case ExportFormat::Ase:
        return QStringLiteral("ase");
    case ExportFormat::HexList:
        return QStringLiteral("hex");
    }
    return QString();
}

QString PaletteExport::fileSuffix(ExportFormat format)
{
    switch (format) {
    case ExportFormat::Tokens:
        return QStringLiteral("tokens.json"); // the format's own ending, still opened as JSON
    case ExportFormat::HexList:
        return QStringLiteral("txt");
    default:
        return exportFormatKey(format);
    }
}

ColorGroup PaletteExport::paletteGroup(const QString& name, const std::vector<ColorValue>& colors)
{
    ColorGroup group{name, {}};
    group.colors.reserve(colors.size());
    for (std::size_t i = 0; i < colors.size(); ++i)
        group.colors.push_back({QStringLiteral("color-") + QString::number(i + 1), colors[i]});
    return group;
}

ColorGroup PaletteExport::colorSetGroup(const QString& name,
                                        const std::array<std::optional<ColorValue>, 6>& colors)
{
    static const char* const kNames[] = {"text",    "background", "link",
                                         "visited", "active",     "hover"};
    ColorGroup group{name, {}};
    for (std::size_t i = 0; i < colors.size(); ++i) {
        if (colors[i])
            group.colors.push_back({QString::fromLatin1(kNames[i]), *colors[i]});
    }
    return group;
}

QByteArray PaletteExport::exportGroups(const std::vector<ColorGroup>& groups, ExportFormat format)
{
    switch (format) {
    case ExportFormat::Gpl:
        return gpl(groups);
    case ExportFormat::Css:
        return variables(groups, ":root {\n", "  --", "}\n");
    case ExportFormat::Scss:
        return variables(groups, "", "$", "");
    case ExportFormat::Tokens:
        return tokens(groups);
    case ExportFormat::Ase:
        return ase(groups);
    case ExportFormat::HexList:
        return hexList(groups);
    }
    return QByteArray();
}

bool PaletteExport::writeExport(const QString& path, const QByteArray& bytes, QString* error)
{
    const auto fail = [&](QString why) {
        if (error) {
            if (!why.isEmpty())
                why[0] = why.at(0).toLower();
            *error = QStringLiteral("Cannot export to %1: %2").arg(quoted(path), why);
        }
        return false;
    };
    // Not the writer's usual ".tmp": in the data folder, "colorset.tmp" left by a
    // crash while exporting "colorset.css" would be taken at the next start for an
    // interrupted deletion's colours. And the writer clears away a leftover
    // temporary as its own: right in the program's folder, not beside an export.
    const QFileInfo temporary(path + QStringLiteral(".partial"));
    if (temporary.exists() || temporary.isSymLink())
        return fail(QStringLiteral("the file %1 is in the way; move or rename it first.")
                        .arg(quoted(temporary.filePath())));

    AtomicFileWriter writer(path, temporary.filePath());
    if (writer.open() && writer.write(bytes) && writer.commit())
        return true;
    return fail(writer.errorString());
}

} // namespace tintaro
