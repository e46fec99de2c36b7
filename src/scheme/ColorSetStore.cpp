#include "ColorSetStore.h"

#include "FileSync.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace tintaro {
namespace {

std::filesystem::path toPath(const char* name)
{
    return std::filesystem::u8path(name);
}

bool exists(const char* name)
{
    return QFileInfo::exists(QString::fromLatin1(name));
}

QString folder()
{
    return QDir::toNativeSeparators(QDir::currentPath());
}

QString quoted(const QString& text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QString quoted(const char* name)
{
    return quoted(QString::fromLatin1(name));
}

QString describe(const std::error_code& ec)
{
    return QString::fromLocal8Bit(ec.message());
}

QString failure(const char* done, const QString& why)
{
    return QStringLiteral("The colour set could not be %1: %2").arg(QLatin1String(done), why);
}

QString fileProblem(const char* name, const QString& what)
{
    return QStringLiteral("the file %1 in the folder %2 %3.")
        .arg(quoted(name), quoted(folder()), what);
}

// Whether the folder and both files can be changed; the reason when not.
// Asked before anything is written, so that a refusal changes nothing.
QString writeProblem()
{
    if (!QFileInfo(QDir::currentPath()).isWritable())
        return QStringLiteral("the folder %1 is read-only, so %2 and %3 cannot be changed there.")
            .arg(quoted(folder()), quoted(ColorSetStore::kNamesFile),
                 quoted(ColorSetStore::kColoursFile));
    for (const char* name : {ColorSetStore::kNamesFile, ColorSetStore::kColoursFile}) {
        const QFileInfo info(QString::fromLatin1(name));
        if (info.exists() && !info.isWritable())
            return fileProblem(name, QStringLiteral("is read-only"));
    }
    return QString();
}

struct FileContent
{
    bool ok = false;
    QByteArray bytes;
    QString error;
};

// A missing file reads as empty.
FileContent readWhole(const QString& name)
{
    FileContent content;
    QFile file(name);
    if (!file.exists()) {
        content.ok = true;
        return content;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        content.error = QStringLiteral("cannot read %1 in the folder %2 (%3).")
                            .arg(quoted(name), quoted(folder()), file.errorString());
        return content;
    }
    content.bytes = file.readAll();
    content.ok = file.error() == QFileDevice::NoError;
    if (!content.ok)
        content.error = QStringLiteral("cannot read %1 in the folder %2 (%3).")
                            .arg(quoted(name), quoted(folder()), file.errorString());
    return content;
}

// The lines of "set.dat" as the list loads them: a line ends at LF, a CR
// before it belongs to the line end, and a last line without one counts.
struct Line
{
    qsizetype start;
    qsizetype length;
};

QList<Line> splitLines(const QByteArray& bytes)
{
    QList<Line> lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        const qsizetype next = end < 0 ? bytes.size() : end + 1;
        if (end < 0)
            end = bytes.size();
        if (end > start && bytes.at(end - 1) == '\r')
            --end;
        lines.append(Line{start, end - start});
        start = next;
    }
    return lines;
}

qsizetype lineCount(const QByteArray& bytes)
{
    qsizetype count = bytes.count('\n');
    if (!bytes.isEmpty() && !bytes.endsWith('\n'))
        ++count;
    return count;
}

// Removes `name` if present; true when it is gone.
bool removeFile(const char* name, QString* error)
{
    std::error_code ec;
    std::filesystem::remove(toPath(name), ec);
    if (ec && error)
        *error = QStringLiteral("cannot remove %1 in the folder %2 (%3).")
                     .arg(quoted(name), quoted(folder()), describe(ec));
    return !ec;
}

bool renameFile(const char* from, const char* to, QString* error)
{
    std::error_code ec;
    std::filesystem::rename(toPath(from), toPath(to), ec);
    if (ec && error)
        *error = QStringLiteral("cannot rename %1 to %2 in the folder %3 (%4).")
                     .arg(quoted(from), quoted(to), quoted(folder()), describe(ec));
    // The two renames of a deletion must reach the disk in order: the names
    // are the commit, so they are forced down before the colours follow.
    if (!ec)
        syncFolderOf(QString::fromLatin1(to));
    return !ec;
}

// Undoes a deletion that never committed. The colours go first: a
// "colorset.tmp" without "set.tmp" means a committed deletion, so it must
// never be left alone after "set.tmp" is gone.
bool dropTemporaries(QString* error)
{
    return removeFile(ColorSetStore::kColoursTemp, error) &&
           removeFile(ColorSetStore::kNamesTemp, error);
}

// A sentence of its own turned into the reason after a colon.
QString asReason(QString sentence)
{
    if (!sentence.isEmpty())
        sentence[0] = sentence.at(0).toLower();
    return sentence;
}

} // namespace

ColorSetStore::Result ColorSetStore::recover()
{
    Result result;
    QString why;
    if (exists(kNamesTemp)) {
        if (!dropTemporaries(&why)) {
            result.error = QStringLiteral("An interrupted deletion could not be undone: ") + why;
            return result;
        }
    } else if (exists(kColoursTemp)) {
        if (!renameFile(kColoursTemp, kColoursFile, &why)) {
            result.error = QStringLiteral("An interrupted deletion could not be finished: ") + why;
            return result;
        }
    }
    result.ok = true;
    return result;
}

QString ColorSetStore::coloursFileInUse()
{
    return QString::fromLatin1(!exists(kNamesTemp) && exists(kColoursTemp) ? kColoursTemp
                                                                           : kColoursFile);
}

// All of `bytes` into `file` and on the disk; on failure, `why` says why.
bool ColorSetStore::writeAll(QFile& file, const QByteArray& bytes, QString* why)
{
    if (file.write(bytes) == bytes.size())
        return syncToDisk(file, why);
    *why = file.errorString();
    return false;
}

bool ColorSetStore::writeTemporary(const char* temporary, const char* target,
                                   const QByteArray& bytes, QString* error)
{
    QFile file(QString::fromLatin1(temporary));
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        *error = QStringLiteral("cannot create %1 in the folder %2 (%3).")
                     .arg(quoted(temporary), quoted(folder()), file.errorString());
        return false;
    }
    // The replacement keeps the permissions of the file it replaces.
    const QFileInfo old(QString::fromLatin1(target));
    if (old.exists())
        file.setPermissions(old.permissions());
    QString why;
    if (!writeAll(file, bytes, &why)) {
        *error = QStringLiteral("cannot write %1 in the folder %2 (%3).")
                     .arg(quoted(temporary), quoted(folder()), why);
        return false;
    }
    return true;
}

// Every change starts the same way: finish or undo an interrupted deletion,
// then make sure both files and the folder can be written.
bool ColorSetStore::readyToWrite(const char* done, Result* result) const
{
    if (const Result recovered = recover(); !recovered.ok) {
        result->error = failure(done, asReason(recovered.error));
        return false;
    }
    if (const QString problem = writeProblem(); !problem.isEmpty()) {
        result->error = failure(done, problem);
        return false;
    }
    return true;
}

ColorSetStore::Result ColorSetStore::save(const QString& name, const ColorSetRecord& record)
{
    static constexpr char kDone[] = "saved";
    Result result;
    if (name.contains(QLatin1Char('\n')) || name.contains(QLatin1Char('\r'))) {
        result.error = failure(kDone, QStringLiteral("a name must fit on one line."));
        return result;
    }
    if (!readyToWrite(kDone, &result))
        return result;
    const QString namesName = QString::fromLatin1(kNamesFile);
    const bool namesExisted = exists(kNamesFile);
    const FileContent names = readWhole(namesName);
    if (!names.ok) {
        result.error = failure(kDone, names.error);
        return result;
    }

    const QByteArray encoded = name.toLocal8Bit();
    QByteArray line;
    // The new name goes on a line of its own. A bare CR at the end is half
    // of a line end already: completing it keeps the last name as it reads.
    if (names.bytes.endsWith('\r'))
        line += '\n';
    else if (!names.bytes.isEmpty() && !names.bytes.endsWith('\n'))
        line += "\r\n";
    line += '"' + encoded + "\"\r\n";
    const qint64 k = lineCount(names.bytes) + 1;
    const qint64 slot = (k - 1) * ColorSetRecord::kSize;

    // The record first: until the name follows it lies past the last name,
    // where nothing reads it and the next save overwrites it.
    const bool coloursExisted = exists(kColoursFile);
    QFile colours(QString::fromLatin1(kColoursFile));
    if (!colours.open(QIODevice::ReadWrite)) {
        result.error =
            failure(kDone, fileProblem(kColoursFile, QStringLiteral("cannot be opened (") +
                                                         colours.errorString() + QLatin1Char(')')));
        return result;
    }
    const qint64 coloursSize = colours.size();
    // Names without records leave a gap: blanks, which read as no colour.
    QByteArray bytes(std::max<qint64>(0, slot - coloursSize), ' ');
    bytes += record.bytes();
    const auto undoColours = [&] {
        colours.close();
        if (coloursExisted)
            QFile::resize(colours.fileName(), coloursSize);
        else
            QFile::remove(colours.fileName());
    };
    QString why = colours.errorString();
    if (!colours.seek(std::min(slot, coloursSize)) || !writeAll(colours, bytes, &why)) {
        result.error =
            failure(kDone, fileProblem(kColoursFile, QStringLiteral("cannot be written (") + why +
                                                         QLatin1Char(')')));
        undoColours();
        return result;
    }
    colours.close();

    QFile namesFile(namesName);
    if (!namesFile.open(QIODevice::WriteOnly | QIODevice::Append) ||
        !writeAll(namesFile, line, &why)) {
        if (!namesFile.isOpen())
            why = namesFile.errorString();
        result.error =
            failure(kDone, fileProblem(kNamesFile, QStringLiteral("cannot be written (") + why +
                                                       QLatin1Char(')')));
        namesFile.close();
        if (namesExisted)
            QFile::resize(namesName, names.bytes.size());
        else
            QFile::remove(namesName);
        undoColours();
        return result;
    }
    result.ok = true;
    result.name = QString::fromLocal8Bit(encoded);
    return result;
}

ColorSetRecord ColorSetStore::read(std::int32_t position) const
{
    if (position < 0)
        return ColorSetRecord();
    QFile file(coloursFileInUse());
    if (!file.open(QIODevice::ReadOnly) || !file.seek(qint64(position) * ColorSetRecord::kSize))
        return ColorSetRecord();
    return ColorSetRecord::fromBytes(file.read(ColorSetRecord::kSize));
}

ColorSetStore::Result ColorSetStore::remove(std::int32_t position)
{
    static constexpr char kDone[] = "deleted";
    Result result;
    if (!readyToWrite(kDone, &result))
        return result;
    if (!exists(kNamesFile)) {
        result.error = failure(kDone, fileProblem(kNamesFile, QStringLiteral("does not exist")));
        return result;
    }
    const FileContent names = readWhole(QString::fromLatin1(kNamesFile));
    const FileContent colours = readWhole(QString::fromLatin1(kColoursFile));
    if (!names.ok || !colours.ok) {
        result.error = failure(kDone, names.ok ? colours.error : names.error);
        return result;
    }
    const QList<Line> lines = splitLines(names.bytes);
    const qsizetype count = lines.size();
    if (position < 0 || position >= count) {
        result.error = failure(kDone, QStringLiteral("there is no set at position %1 of %2 in %3.")
                                          .arg(position)
                                          .arg(count)
                                          .arg(quoted(kNamesFile)));
        return result;
    }

    QByteArray newNames;
    newNames.reserve(names.bytes.size() + 2 * count);
    for (qsizetype i = 0; i < count; ++i) {
        if (i == position)
            continue;
        newNames.append(names.bytes.constData() + lines[i].start, lines[i].length);
        newNames.append("\r\n");
    }
    // Records past the last name belong to no set and are dropped; missing
    // ones stay missing, so that every later set keeps its own.
    const qsizetype size = colours.bytes.size();
    const auto at = [size](qsizetype record) {
        return std::min<qsizetype>(size, record * ColorSetRecord::kSize);
    };
    const QByteArray newColours = colours.bytes.left(at(position)) +
                                  colours.bytes.mid(at(position + 1), at(count) - at(position + 1));

    QString why;
    // The commit, renaming "set.tmp": from there on the deletion has happened.
    if (!writeTemporary(kNamesTemp, kNamesFile, newNames, &why) ||
        !writeTemporary(kColoursTemp, kColoursFile, newColours, &why) ||
        !renameFile(kNamesTemp, kNamesFile, &why)) {
        result.error = failure(kDone, why);
        dropTemporaries(nullptr);
        return result;
    }
    // Should this fail, "colorset.tmp" stays in use until recover() moves it.
    renameFile(kColoursTemp, kColoursFile, nullptr);
    result.ok = true;
    return result;
}

} // namespace tintaro
