#include "FileSync.h"

#include <cerrno>
#include <cstring>

#include <unistd.h>

namespace tintaro {

bool syncDescriptor(int fd, QString* error)
{
    int rc;
    do {
        rc = ::fsync(fd);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0 && error)
        *error = QString::fromLocal8Bit(std::strerror(errno));
    return rc == 0;
}

} // namespace tintaro
