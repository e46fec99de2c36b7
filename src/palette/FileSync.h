#pragma once

#include <QFile>
#include <QString>

namespace tintaro {

// Flushes `file` and waits until the operating system has put its data on
// the disk, so that a rename that follows cannot expose a half-written file
// after a power cut. On failure, `error` (when given) says why.
bool syncToDisk(QFile& file, QString* error = nullptr);

// The platform's own step: forces an open descriptor's data to the disk.
bool syncDescriptor(int fd, QString* error);

} // namespace tintaro
