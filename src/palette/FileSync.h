#pragma once

#include <QFile>
#include <QString>

namespace tintaro {

// Flushes `file` and waits until the operating system has put its data on
// the disk, so that a rename that follows cannot expose a half-written file
// after a power cut. On failure, `error` (when given) says why.
bool syncToDisk(QFile& file, QString* error = nullptr);

// Forces the folder holding `fileName` to the disk, so that a rename just
// made in it survives a power cut, and in the order in which renames were
// made. Best effort: where folders cannot be synced this does nothing.
void syncFolderOf(const QString& fileName);

// The platform's own steps: force an open descriptor's data, or a folder's
// entries, to the disk.
bool syncDescriptor(int fd, QString* error);
void syncFolder(const QString& folder);

} // namespace tintaro
