#pragma once
// Each input becomes files in a private folder under TMPDIR, emptied for
// every input and made the working folder: the readers take relative names.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>

inline QByteArray startInput(const std::uint8_t* data, std::size_t size)
{
    static QTemporaryDir dir; // removed at exit
    if (!QDir(dir.path()).removeRecursively() || !QDir().mkpath(dir.path()) ||
        !QDir::setCurrent(dir.path()))
        std::abort();
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

inline void putFile(const char* name, const QByteArray& bytes)
{
    QFile file(QString::fromLatin1(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        std::abort();
}
