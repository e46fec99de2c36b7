#include "ScopedCurrentDir.h"

#include <QDir>
#include <QFile>

ScopedCurrentDir::ScopedCurrentDir() : m_previous(QDir::currentPath())
{
    if (m_dir.isValid())
        QDir::setCurrent(m_dir.path());
}

ScopedCurrentDir::~ScopedCurrentDir()
{
    QDir::setCurrent(m_previous);
    // A test may have made the folder read-only; give the write bit back so
    // that the temporary folder can be removed.
    QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}
