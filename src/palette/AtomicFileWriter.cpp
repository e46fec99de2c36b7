#include "AtomicFileWriter.h"

#include "FileSync.h"

#include <QFileInfo>

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

AtomicFileWriter::AtomicFileWriter(const QString& targetName, const QString& temporaryName)
    : m_targetName(targetName), m_file(temporaryName)
{
}

AtomicFileWriter::~AtomicFileWriter()
{
    discard();
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
    return true;
}

bool AtomicFileWriter::write(const char* data, qint64 size)
{
    if (!isOpen())
        return false;
    if (m_file.write(data, size) != size)
        return fail(QStringLiteral("Cannot write to %1: %2")
                        .arg(quoted(temporaryName()), m_file.errorString()));
    return true;
}

bool AtomicFileWriter::commit()
{
    if (!isOpen()) {
        if (m_error.isEmpty())
            m_error = QStringLiteral("The new content of %1 was never prepared.")
                          .arg(quoted(m_targetName));
        return false;
    }
    if (m_file.error() != QFileDevice::NoError)
        return fail(QStringLiteral("Cannot write to %1: %2")
                        .arg(quoted(temporaryName()), m_file.errorString()));

    QString why;
    if (!syncToDisk(m_file, &why))
        return fail(QStringLiteral("Cannot save %1 to disk: %2").arg(quoted(temporaryName()), why));
    m_file.close();
    if (m_file.error() != QFileDevice::NoError)
        return fail(QStringLiteral("Cannot save %1 to disk: %2")
                        .arg(quoted(temporaryName()), m_file.errorString()));

    // One step that replaces the target whole; it is never deleted first.
    std::error_code ec;
    std::filesystem::rename(toPath(temporaryName()), toPath(m_targetName), ec);
    if (ec)
        return fail(QStringLiteral("Cannot replace %1 with its new content: %2")
                        .arg(quoted(m_targetName), describe(ec)));
    m_ownsTemporary = false;
    syncFolderOf(m_targetName);
    return true;
}

void AtomicFileWriter::discard()
{
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
