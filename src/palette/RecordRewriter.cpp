#include "RecordRewriter.h"

#include "AtomicFileWriter.h"
#include "PaletteFile.h"

#include <QByteArray>

#include <algorithm>
#include <cstring>

namespace tintaro {

namespace {

// Records read and written per step: large enough that a million records
// take a few dozen system calls, small enough to stay in the cache.
constexpr qint64 kChunkRecords = 64 * 1024;

RecordRewriter::Result failure(const QString& error)
{
    return {false, 0, error};
}

QString quoted(const QString& name)
{
    return QLatin1Char('"') + name + QLatin1Char('"');
}

} // namespace

RecordRewriter::Result RecordRewriter::rewrite(PaletteFile& file, std::int32_t count,
                                               const KeepPredicate& keep,
                                               const QByteArray& appended)
{
    const QString name = file.fileName();
    if (!file.isOpen())
        return failure(QStringLiteral("The colour file %1 is not open.").arg(quoted(name)));
    if (!file.isWritable())
        return failure(QStringLiteral("%1 is read-only, so your colours cannot be changed.")
                           .arg(quoted(name)));
    AtomicFileWriter writer(name);
    if (!writer.open())
        return failure(writer.errorString());

    QFile& in = file.device();
    QByteArray chunk(kChunkRecords * ColorRecord::kSize, Qt::Uninitialized);
    std::int32_t written = 0;
    for (qint64 first = 1; first <= count; first += kChunkRecords) {
        const qint64 wanted = std::min<qint64>(kChunkRecords, count - first + 1);
        if (!in.seek((first - 1) * ColorRecord::kSize))
            return failure(
                QStringLiteral("Cannot read %1: %2").arg(quoted(name), in.errorString()));
        const qint64 got = in.read(chunk.data(), wanted * ColorRecord::kSize);
        if (got < 0)
            return failure(
                QStringLiteral("Cannot read %1: %2").arg(quoted(name), in.errorString()));

        // Close the kept records up in place, then write them in one go.
        const qint64 whole = got / ColorRecord::kSize;
        char* const begin = chunk.data();
        char* kept = begin;
        for (qint64 k = 0; k < whole; ++k) {
            const char* const record = begin + k * ColorRecord::kSize;
            if (!keep(std::int32_t(first + k), ColorRecord::fromBytes(record)))
                continue;
            if (kept != record)
                std::memcpy(kept, record, ColorRecord::kSize);
            kept += ColorRecord::kSize;
            ++written;
        }
        if (kept != begin && !writer.write(begin, kept - begin))
            return failure(writer.errorString());
        if (whole < wanted)
            break; // the file is shorter than it was counted
    }
    if (!appended.isEmpty()) {
        if (!writer.write(appended))
            return failure(writer.errorString());
        written += std::int32_t(appended.size() / ColorRecord::kSize);
    }

    // Let go of the old file before replacing it: some systems cannot
    // rename over a file that is still open.
    file.close();
    if (!writer.commit()) {
        if (!file.isOpen())
            file.open(name, PaletteFile::Access::ReadWrite);
        return failure(writer.errorString());
    }
    if (!file.open(name, PaletteFile::Access::ReadWrite))
        return {false, written,
                QStringLiteral("Your colours were saved, but %1 cannot be opened again: %2")
                    .arg(quoted(name), file.errorString())};
    return {true, written, QString()};
}

} // namespace tintaro
