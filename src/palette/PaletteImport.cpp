#include "PaletteImport.h"

#include <QByteArrayView>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tintaro {

namespace {

constexpr QByteArrayView kGplHeader("GIMP Palette");
constexpr QByteArrayView kAseMagic("ASEF");
constexpr QByteArrayView kUtf8Bom("\xEF\xBB\xBF");

ImportResult failure(const QString& error)
{
    return {false, {}, error};
}

QString quoted(const QString& name)
{
    return QLatin1Char('"') + name + QLatin1Char('"');
}

bool isBlank(char ch)
{
    return ch == ' ' || ch == '\t';
}

bool isDigit(char ch)
{
    return ch >= '0' && ch <= '9';
}

QByteArrayView withoutBom(QByteArrayView bytes)
{
    return bytes.startsWith(kUtf8Bom) ? bytes.sliced(kUtf8Bom.size()) : bytes;
}

// Enough of a line to recognise it in a message.
QString shown(QByteArrayView line)
{
    constexpr qsizetype kShown = 40;
    const QString text = QString::fromUtf8(line.first(std::min(line.size(), kShown)));
    return quoted(line.size() > kShown ? text + QStringLiteral("...") : text);
}

// One line of a GIMP palette into `colors`; an error when it is neither a
// colour nor one of the lines that hold none.
QString readGplLine(QByteArrayView line, std::vector<ColorValue>& colors)
{
    const char* p = line.data();
    const char* const end = p + line.size();
    while (p < end && isBlank(*p))
        ++p;
    const QByteArrayView text(p, end - p);
    if (text.isEmpty() || text.startsWith('#') || text.startsWith("Name:") ||
        text.startsWith("Columns:"))
        return QString();

    int levels[3];
    for (int& level : levels) {
        const char* const start = p;
        int value = 0;
        while (p < end && isDigit(*p)) {
            value = std::min(value * 10 + (*p - '0'), 1000); // no overflow, still too large
            ++p;
        }
        // A number ends at a blank or the line's end: "12a", "1.5" and "-1" are no levels.
        if (p == start || (p < end && !isBlank(*p)))
            return QStringLiteral("expected red, green and blue from 0 to 255, found %1")
                .arg(shown(line));
        if (value > 255)
            return QStringLiteral("%1 is more than 255, the most a colour level can be")
                .arg(QString::fromLatin1(start, std::min<qsizetype>(p - start, 20)));
        level = value;
        while (p < end && isBlank(*p))
            ++p;
    }
    colors.push_back(makeColor(levels[0], levels[1], levels[2])); // the rest is the name
    return QString();
}

// Bytes `at`.. of the file as big-endian numbers; the caller has checked the length.
quint16 be16(const char* at)
{
    return qFromBigEndian<quint16>(at);
}

quint32 be32(const char* at)
{
    return qFromBigEndian<quint32>(at);
}

float beFloat(const char* at)
{
    const quint32 bits = be32(at);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// A colour entry's content: name, model, levels, kind. An error when it does
// not fit its block, number n of `blocks`, or is not an RGB colour.
QString readAseColor(const char* block, quint32 length, quint32 n, quint32 blocks,
                     std::vector<ColorValue>& colors)
{
    const auto damaged = [&](const char* how) {
        return QStringLiteral("block %1 of %2 is damaged: %3")
            .arg(n)
            .arg(blocks)
            .arg(QLatin1String(how));
    };
    if (length < 2)
        return damaged("it is too short to hold a colour");
    const quint32 modelAt = 2 + 2 * quint32(be16(block));
    if (quint64(modelAt) + 4 > length)
        return damaged("its name runs past its end");
    const QByteArrayView model(block + modelAt, 4);
    if (model == "CMYK")
        return QStringLiteral("the file uses CMYK colours, which the palette cannot hold");
    if (model == "LAB ")
        return QStringLiteral("the file uses Lab colours, which the palette cannot hold");
    if (model == "Gray")
        return QStringLiteral("the file uses grey levels, which the palette cannot hold");
    if (model != "RGB ")
        return QStringLiteral("the file uses an unknown colour model %1").arg(shown(model));
    if (quint64(modelAt) + 4 + 3 * 4 + 2 > length)
        return damaged("it ends inside its colour");
    const float red = beFloat(block + modelAt + 4);
    const float green = beFloat(block + modelAt + 8);
    const float blue = beFloat(block + modelAt + 12);
    if (!std::isfinite(red) || !std::isfinite(green) || !std::isfinite(blue))
        return damaged("a colour level is not a number");
    colors.push_back(colorFromUnit(red, green, blue));
    return QString();
}

} // namespace

ImportResult PaletteImport::importGpl(const QByteArray& bytes)
{
    const QByteArrayView all = withoutBom(bytes);
    const char* p = all.data();
    const char* const end = p + all.size();
    std::vector<ColorValue> colors;
    colors.reserve(std::size_t(all.size() / 16));
    for (int number = 1; number == 1 || p < end; ++number) {
        const char* eol = static_cast<const char*>(std::memchr(p, '\n', std::size_t(end - p)));
        if (!eol)
            eol = end;
        QByteArrayView line(p, eol - p);
        if (line.endsWith('\r'))
            line.chop(1);
        p = eol + (eol < end ? 1 : 0);

        if (number == 1) {
            if (line.trimmed() != kGplHeader)
                return failure(QStringLiteral("the file does not start with the line \"%1\"")
                                   .arg(QLatin1String(kGplHeader)));
            continue;
        }
        const QString error = readGplLine(line, colors);
        if (!error.isEmpty())
            return failure(QStringLiteral("line %1: %2").arg(number).arg(error));
    }
    return {true, std::move(colors), QString()};
}

ImportResult PaletteImport::importAse(const QByteArray& bytes)
{
    constexpr quint16 kColorEntry = 0x0001;
    constexpr qsizetype kHeader = 12;   // magic, version, block count
    constexpr qsizetype kBlockHead = 6; // type, length

    if (!bytes.startsWith(kAseMagic))
        return failure(QStringLiteral("it is not an Adobe Swatch Exchange file"));
    if (bytes.size() < kHeader)
        return failure(QStringLiteral("the file ends inside its header"));
    const char* const data = bytes.constData();
    const quint16 major = be16(data + 4);
    if (major != 1)
        return failure(QStringLiteral("the file is in version %1.%2 of its format, which "
                                      "cannot be read")
                           .arg(major)
                           .arg(be16(data + 6)));

    const quint32 blocks = be32(data + 8);
    std::vector<ColorValue> colors;
    // The smallest colour entry takes 26 bytes: a count from a damaged header reserves no more.
    colors.reserve(std::min<std::size_t>(blocks, std::size_t(bytes.size() / 26)));
    qsizetype at = kHeader;
    for (quint32 n = 1; n <= blocks; ++n) {
        if (bytes.size() - at < kBlockHead)
            return failure(
                QStringLiteral("the file ends before block %1 of %2").arg(n).arg(blocks));
        const quint16 type = be16(data + at);
        const quint32 length = be32(data + at + 2);
        at += kBlockHead;
        if (length > quint64(bytes.size() - at))
            return failure(
                QStringLiteral("block %1 of %2 runs past the end of the file").arg(n).arg(blocks));
        // Group starts and ends only name the colours between them; other kinds are skipped.
        if (type == kColorEntry) {
            const QString error = readAseColor(data + at, length, n, blocks, colors);
            if (!error.isEmpty())
                return failure(error);
        }
        at += length;
    }
    return {true, std::move(colors), QString()};
}

ImportResult PaletteImport::importPaletteFile(const QString& path)
{
    const auto fail = [&path](const QString& why) {
        return failure(QStringLiteral("Cannot import %1: %2").arg(quoted(path), why));
    };
    const QFileInfo info(path);
    if (!info.exists())
        return fail(QStringLiteral("there is no such file."));
    if (!info.isFile())
        return fail(QStringLiteral("it is not a file."));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    const qint64 size = file.size();
    if (size > kMaxFileSize)
        return fail(QStringLiteral("it is larger than %1 MB, far more than any palette needs.")
                        .arg(kMaxFileSize >> 20));
    QByteArray bytes(size, Qt::Uninitialized);
    if (file.read(bytes.data(), size) != size)
        return fail(file.errorString());

    ImportResult result;
    if (withoutBom(bytes).startsWith(kGplHeader))
        result = importGpl(bytes);
    else if (bytes.startsWith(kAseMagic))
        result = importAse(bytes);
    else
        return fail(
            QStringLiteral("it is neither a GIMP palette nor an Adobe Swatch Exchange file."));
    if (!result.ok)
        result = fail(result.error + QLatin1Char('.'));
    return result;
}

} // namespace tintaro
