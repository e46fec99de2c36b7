#include "FileSync.h"

#include <cerrno>
#include <cstring>

#include <io.h>

namespace tintaro {

bool syncToDisk(QFile& file, QString* error)
{
    if (!file.flush()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    // QFile hands out a C runtime descriptor for its Windows handle.
    const int fd = file.handle();
    if (fd < 0) {
        if (error)
            *error = QStringLiteral("The file is not open.");
        return false;
    }
    if (::_commit(fd) != 0) {
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    return true;
}

} // namespace tintaro
