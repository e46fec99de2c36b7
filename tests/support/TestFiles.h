#pragma once

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace TestFiles {

// Replaces the file's content.
inline bool write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

// Null when the file cannot be read, "" when it is empty.
inline QByteArray read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QByteArray("").append(file.readAll()) : QByteArray();
}

// For its owner; files and folders.
inline bool setReadOnly(const QString& path, bool readOnly)
{
    QFile::Permissions mode = QFile::ReadOwner | QFile::ReadUser;
    if (QFileInfo(path).isDir())
        mode |= QFile::ExeOwner | QFile::ExeUser;
    return QFile::setPermissions(path,
                                 readOnly ? mode : mode | QFile::WriteOwner | QFile::WriteUser);
}

// True for root, who writes read-only files anyway: read-only cases skip.
inline bool ignoresPermissions()
{
    const QTemporaryDir dir;
    const QString probe = dir.filePath(QStringLiteral("probe"));
    return write(probe, "x") && setReadOnly(probe, true) && QFile(probe).open(QIODevice::Append);
}

// `count` records of distinct colours, "000000", "000001", ... upper case.
inline QByteArray records(int count, int firstColor = 0)
{
    QByteArray out;
    for (int i = 0; i < count; ++i)
        out += QByteArray::number(firstColor + i, 16).toUpper().rightJustified(6, '0');
    return out;
}

} // namespace TestFiles
