#pragma once

#include <QDir>
#include <QTemporaryDir>

// A fresh temporary folder, the current directory while the object lives.
class ScopedCurrentDir
{
public:
    ScopedCurrentDir() { QDir::setCurrent(m_dir.path()); }
    ~ScopedCurrentDir()
    {
        QDir::setCurrent(m_previous);
        // A test may have made the folder read-only; it must still be removed.
        QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    ScopedCurrentDir(const ScopedCurrentDir&) = delete;
    ScopedCurrentDir& operator=(const ScopedCurrentDir&) = delete;

    QString path() const { return m_dir.path(); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }

private:
    QString m_previous = QDir::currentPath();
    QTemporaryDir m_dir;
};
