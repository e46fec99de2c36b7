#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <functional>

namespace tintaro {

// Writes the new content of a file under a temporary name beside it
// ("mycolor.rgb" -> "mycolor.tmp") and only then renames it over the target,
// so that a crash at any moment leaves either the old or the new file whole.
// On any failure the target is left as it was and the temporary is removed.
class AtomicFileWriter
{
public:
    explicit AtomicFileWriter(const QString& targetName);
    // The new content is collected in `staging` and copied into the temporary
    // at commit. `staging` must outlive the writer and be readable back (a
    // QBuffer); this lets tests stand in a device that fails.
    AtomicFileWriter(const QString& targetName, QIODevice& staging);
    ~AtomicFileWriter();

    // The points a rewrite passes, in order. A crash at any of them leaves
    // the target whole: the old content up to Renaming, the new from Renamed.
    enum class Step
    {
        TemporaryOpened, // open(): the temporary exists, empty
        PartWritten,     // more of the new content is in the temporary, not yet forced to disk
        Synced,          // commit(): all of it forced to disk, the temporary still open
        Closed,          // commit(): the temporary closed
        Renaming,        // commit(): about to rename the temporary over the target
        Renamed,         // commit(): the target holds the new content
    };
    using StepObserver = std::function<void(Step step)>;

    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // Same folder and base name as the target, extension ".tmp".
    static QString temporaryNameFor(const QString& targetName);

    // Calls `observer` as each step is reached, so that a test can stop the
    // process right there as a crash would. With an observer, the new
    // content is flushed to the temporary before each PartWritten, in pieces
    // of at most `pieceSize` bytes when that is above 0, so that a stop shows
    // the temporary as it grows. Writes made directly on device() are not
    // seen. Without an observer (the default) nothing of this costs anything.
    void setStepObserver(StepObserver observer, qint64 pieceSize = 0);

    // Removes a temporary left by an interrupted run and creates it afresh.
    // Fails for a read-only target: renaming over it would succeed on POSIX.
    bool open();
    bool isOpen() const { return m_file.isOpen(); }

    // Where the new content goes. Writes made directly on it must be checked
    // by the caller; write() checks them and remembers the failure.
    QIODevice& device();
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
    bool copyStaging();
    bool putInTemporary(const char* data, qint64 size);
    void reached(Step step) const
    {
        if (m_observer)
            m_observer(step);
    }

    QString m_targetName;
    QFile m_file;
    QIODevice* m_staging = nullptr;
    QString m_error;
    bool m_ownsTemporary = false; // created by open(), not yet renamed or removed
    StepObserver m_observer;
    qint64 m_pieceSize = 0;
};

} // namespace tintaro
