#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace TestFiles {

bool write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QByteArray read(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    QByteArray bytes = file.readAll();
    if (bytes.isNull())
        bytes = QByteArray(""); // an empty file reads as empty, not as null
    return bytes;
}

bool setReadOnly(const QString& path, bool readOnly)
{
    const bool isDir = QFileInfo(path).isDir();
    QFile::Permissions perms = QFile::ReadOwner | QFile::ReadUser;
    if (isDir)
        perms |= QFile::ExeOwner | QFile::ExeUser;
    if (!readOnly)
        perms |= QFile::WriteOwner | QFile::WriteUser;
    return QFile::setPermissions(path, perms);
}

bool ignoresPermissions()
{
    QTemporaryDir dir;
    const QString probe = dir.filePath(QStringLiteral("probe"));
    write(probe, "x");
    setReadOnly(probe, true);
    QFile file(probe);
    const bool writable = file.open(QIODevice::WriteOnly | QIODevice::Append);
    setReadOnly(probe, false);
    return writable;
}

QByteArray records(int count, int firstColor)
{
    QByteArray out;
    out.reserve(count * 6);
    for (int i = 0; i < count; ++i)
        out += QByteArray::number(firstColor + i, 16).toUpper().rightJustified(6, '0');
    return out;
}

} // namespace TestFiles
