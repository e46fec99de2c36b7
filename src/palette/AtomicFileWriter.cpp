#include "AtomicFileWriter.h"

#include "FileSync.h"

#include <QFileInfo>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace tintaro {

namespace {

std::filesystem::path toPath(const QString& name)
{
    return std::filesystem::u8path(name.toStdString());
}

QString quoted(const QString& name)
{
    return QLatin1Char('"') + name + QLatin1Char('"');
}

QString describe(const std::error_code& ec)
{
    return QString::fromLocal8Bit(ec.message());
}

} // namespace

AtomicFileWriter::AtomicFileWriter(const QString& targetName)
    : m_targetName(targetName), m_file(temporaryNameFor(targetName))
{
}

AtomicFileWriter::AtomicFileWriter(const QString& targetName, QIODevice& staging)
    : AtomicFileWriter(targetName)
{
    m_staging = &staging;
}

AtomicFileWriter::~AtomicFileWriter()
{
    discard();
}

void AtomicFileWriter::setStepObserver(StepObserver observer, qint64 pieceSize)
{
    m_observer = std::move(observer);
    m_pieceSize = pieceSize;
}

QString AtomicFileWriter::temporaryNameFor(const QString& targetName)
{
    const QFileInfo info(targetName);
    QString name = info.completeBaseName() + QStringLiteral(".tmp");
    if (name == info.fileName())
        name += QStringLiteral(".tmp"); // never the target itself
    const qsizetype slash = targetName.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? name : targetName.left(slash + 1) + name;
}

bool AtomicFileWriter::open()
{
    discard();
    m_error.clear();

    const QFileInfo target(m_targetName);
    if (target.exists() && !target.isWritable())
        return fail(
            QStringLiteral("%1 is read-only, so it cannot be changed.").arg(quoted(m_targetName)));

    // Whatever an interrupted run left behind is incomplete: start afresh.
    std::error_code ec;
    std::filesystem::remove(toPath(temporaryName()), ec);
    if (ec)
        return fail(QStringLiteral("Cannot remove the leftover file %1: %2")
                        .arg(quoted(temporaryName()), describe(ec)));

    if (!m_file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return fail(QStringLiteral("Cannot create the temporary file %1: %2")
                        .arg(quoted(temporaryName()), m_file.errorString()));
    m_ownsTemporary = true;
    // The replacement keeps the target's permissions; failing that, the
    // defaults are still usable, so this is not an error.
    if (target.exists())
        m_file.setPermissions(target.permissions());
    if (m_staging && !m_staging->open(QIODevice::ReadWrite | QIODevice::Truncate))
        return fail(QStringLiteral("Cannot prepare the new content of %1: %2")
                        .arg(quoted(m_targetName), m_staging->errorString()));
    reached(Step::TemporaryOpened);
    return true;
}

QIODevice& AtomicFileWriter::device()
{
    if (m_staging)
        return *m_staging;
    return m_file;
}

bool AtomicFileWriter::write(const char* data, qint64 size)
{
    if (!isOpen())
        return false;
    QIODevice& out = device();
    if (m_staging ? out.write(data, size) != size : !putInTemporary(data, size))
        return fail(QStringLiteral("Cannot write to %1: %2")
                        .arg(quoted(temporaryName()), out.errorString()));
    return true;
}

// Straight into the temporary, unless an observer wants to see it grow.
bool AtomicFileWriter::putInTemporary(const char* data, qint64 size)
{
    if (!m_observer)
        return m_file.write(data, size) == size;
    const qint64 piece = m_pieceSize > 0 ? m_pieceSize : size;
    for (qint64 done = 0; done < size;) {
        const qint64 part = std::min(piece, size - done);
        if (m_file.write(data + done, part) != part || !m_file.flush())
            return false;
        done += part;
        reached(Step::PartWritten);
    }
    return true;
}

bool AtomicFileWriter::copyStaging()
{
    if (!m_staging->seek(0))
        return fail(QStringLiteral("Cannot read back the new content of %1: %2")
                        .arg(quoted(m_targetName), m_staging->errorString()));
    QByteArray chunk(1 << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 got = m_staging->read(chunk.data(), chunk.size());
        if (got < 0)
            return fail(QStringLiteral("Cannot read back the new content of %1: %2")
                            .arg(quoted(m_targetName), m_staging->errorString()));
        if (got == 0)
            return true;
        if (!putInTemporary(chunk.constData(), got))
            return fail(QStringLiteral("Cannot write to %1: %2")
                            .arg(quoted(temporaryName()), m_file.errorString()));
    }
}

bool AtomicFileWriter::commit()
{
    if (!isOpen()) {
        if (m_error.isEmpty())
            m_error = QStringLiteral("The new content of %1 was never prepared.")
                          .arg(quoted(m_targetName));
        return false;
    }
    if (m_staging && !copyStaging())
        return false;
    if (m_file.error() != QFileDevice::NoError)
        return fail(QStringLiteral("Cannot write to %1: %2")
                        .arg(quoted(temporaryName()), m_file.errorString()));

    QString why;
    if (!syncToDisk(m_file, &why))
        return fail(QStringLiteral("Cannot save %1 to disk: %2").arg(quoted(temporaryName()), why));
    reached(Step::Synced);
    m_file.close();
    if (m_file.error() != QFileDevice::NoError)
        return fail(QStringLiteral("Cannot save %1 to disk: %2")
                        .arg(quoted(temporaryName()), m_file.errorString()));
    reached(Step::Closed);
    if (m_staging)
        m_staging->close();

    // One step that replaces the target whole; it is never deleted first.
    std::error_code ec;
    reached(Step::Renaming);
    std::filesystem::rename(toPath(temporaryName()), toPath(m_targetName), ec);
    if (ec)
        return fail(QStringLiteral("Cannot replace %1 with its new content: %2")
                        .arg(quoted(m_targetName), describe(ec)));
    m_ownsTemporary = false;
    syncFolderOf(m_targetName);
    reached(Step::Renamed);
    return true;
}

void AtomicFileWriter::discard()
{
    if (m_staging && m_staging->isOpen())
        m_staging->close();
    if (m_file.isOpen())
        m_file.close();
    if (m_ownsTemporary) {
        std::error_code ignored; // nothing better to do than leave it for open()
        std::filesystem::remove(toPath(temporaryName()), ignored);
        m_ownsTemporary = false;
    }
}

bool AtomicFileWriter::fail(const QString& message)
{
    m_error = message;
    discard();
    return false;
}

} // namespace tintaro
