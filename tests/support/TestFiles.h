#pragma once

#include <QByteArray>
#include <QString>

namespace TestFiles {

// Writes `bytes` to `path`, replacing it; fails the running test on error.
bool write(const QString& path, const QByteArray& bytes);

// The whole content of `path`, or a null array when it cannot be read.
QByteArray read(const QString& path);

// Makes a file or folder read-only (or writable again) for its owner.
bool setReadOnly(const QString& path, bool readOnly);

// True when the process can write into read-only files anyway (root):
// read-only cases are then skipped rather than passed falsely.
bool ignoresPermissions();

// `count` records of distinct colours, "000000", "000001", ... upper case.
QByteArray records(int count, int firstColor = 0);

} // namespace TestFiles
