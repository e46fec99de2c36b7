#include "FileSync.h"

#include <cerrno>
#include <cstring>

#include <unistd.h>

namespace tintaro {

bool syncToDisk(QFile& file, QString* error)
{
    if (!file.flush()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const int fd = file.handle();
    if (fd < 0) {
        if (error)
            *error = QStringLiteral("The file is not open.");
        return false;
    }
    int rc;
    do {
        rc = ::fsync(fd);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0 && error)
        *error = QString::fromLocal8Bit(std::strerror(errno));
    return rc == 0;
}

} // namespace tintaro
