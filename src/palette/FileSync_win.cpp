#include "FileSync.h"

#include <cerrno>
#include <cstring>

#include <io.h>

namespace tintaro {

// QFile hands out a C runtime descriptor for its Windows handle.
bool syncDescriptor(int fd, QString* error)
{
    if (::_commit(fd) == 0)
        return true;
    if (error)
        *error = QString::fromLocal8Bit(std::strerror(errno));
    return false;
}

// NTFS journals its folder entries in order; there is nothing to force.
void syncFolder(const QString&) {}

} // namespace tintaro
