#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace tintaro {

// Writes the new content of a file under a temporary name beside it
// ("mycolor.rgb" -> "mycolor.tmp") and only then renames it over the target,
// so that a crash at any moment leaves either the old or the new file whole.
// On any failure the target is left as it was and the temporary is removed.
class AtomicFileWriter
{
public:
    explicit AtomicFileWriter(const QString& targetName);
    // With a temporary name of the caller's: for files outside the program's
    // own folder, whose ".tmp" names a start-up would take for its own.
    AtomicFileWriter(const QString& targetName, const QString& temporaryName);
    ~AtomicFileWriter();

    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // Same folder and base name as the target, extension ".tmp".
    static QString temporaryNameFor(const QString& targetName);

    // Removes a temporary left by an interrupted run and creates it afresh.
    // Fails for a read-only target: renaming over it would succeed on POSIX.
    bool open();
    bool isOpen() const { return m_file.isOpen(); }

    // Appends to the new content; a failure is remembered.
    bool write(const char* data, qint64 size);
    bool write(const QByteArray& bytes) { return write(bytes.constData(), bytes.size()); }

    // Flushes, forces the data to disk, closes, and renames over the target.
    bool commit();
    // Drops the temporary; the target stays as it was. Also done on destruction.
    void discard();

    QString targetName() const { return m_targetName; }
    QString temporaryName() const { return m_file.fileName(); }
    // What went wrong, naming the file, in words for the user.
    QString errorString() const { return m_error; }

private:
    bool fail(const QString& message);

    QString m_targetName;
    QFile m_file;
    QString m_error;
    bool m_ownsTemporary = false; // created by open(), not yet renamed or removed
};

} // namespace tintaro
