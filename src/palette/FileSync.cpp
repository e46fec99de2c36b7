#include "FileSync.h"

#include <QFileInfo>

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
    return syncDescriptor(fd, error);
}

void syncFolderOf(const QString& fileName)
{
    syncFolder(QFileInfo(fileName).absolutePath());
}

} // namespace tintaro
