#pragma once

#include "ColorRecord.h"

#include <QFile>
#include <QString>

#include <cstdint>
#include <optional>

namespace tintaro {

// The open record file whose colours the grid shows ("file number 1"):
// random access by record number, numbered from 1, 6 bytes a record.
class PaletteFile
{
public:
    static constexpr std::int32_t kWebSafeCount = 216;

    enum class Access {
        ReadWrite, // the user's file: created empty when missing
        ReadOnly   // the web-safe file: never created
    };

    PaletteFile() = default;
    PaletteFile(const PaletteFile&) = delete;
    PaletteFile& operator=(const PaletteFile&) = delete;

    // Closes whatever was open first. A ReadWrite open of a file that exists
    // but cannot be written falls back to reading it (isWritable() false);
    // returns false only when the file cannot be read at all.
    bool open(const QString& fileName, Access access);
    void close();

    bool isOpen() const { return m_file.isOpen(); }
    bool isWritable() const { return m_file.isOpen() && m_file.isWritable(); }
    QString fileName() const { return m_file.fileName(); }
    // Why the last open or write failed; writing to a file that could only
    // be opened for reading fails for that reason alone.
    QString errorString() const
    {
        return isOpen() && !isWritable() ? QStringLiteral("it is read-only") : m_file.errorString();
    }

    // Whole records in the file, from its length alone: a tail of fewer than
    // six bytes is not counted, and a huge file counts as fast as an empty one.
    std::int32_t countRecords() const;

    // Record n (1-based); nothing when it lies past the end of the file.
    std::optional<ColorRecord> read(std::int32_t n);

    // Reads records first..last (1-based, first <= last) with one seek and
    // one read; out[k] receives record first + k, or nothing past the end.
    // `out` must have room for last - first + 1 entries.
    void readRange(std::int32_t first, std::int32_t last, std::optional<ColorRecord>* out);

    // Writes record n (1-based) and flushes it to the file.
    bool write(std::int32_t n, const ColorRecord& record);

    QFile& device() { return m_file; }

private:
    QFile m_file;
};

} // namespace tintaro
