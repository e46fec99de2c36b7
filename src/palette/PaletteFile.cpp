#include "PaletteFile.h"

#include <QVarLengthArray>

#include <algorithm>
#include <limits>

namespace tintaro {

namespace {

qint64 offsetOf(std::int32_t n)
{
    return qint64(n - 1) * ColorRecord::kSize;
}

} // namespace

bool PaletteFile::open(const QString& fileName, Access access)
{
    close();
    m_file.setFileName(fileName);
    // Unbuffered: every read is one system call straight into the caller's
    // buffer, and every write reaches the file at once.
    if (access == Access::ReadOnly)
        return m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    if (m_file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return true;
    // A protected file can still be shown; a missing one that cannot be
    // created cannot.
    return m_file.exists() && m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

void PaletteFile::close()
{
    m_file.close();
}

std::int32_t PaletteFile::countRecords() const
{
    if (!m_file.isOpen())
        return 0;
    const qint64 records = m_file.size() / ColorRecord::kSize;
    return std::int32_t(std::min<qint64>(records, std::numeric_limits<std::int32_t>::max()));
}

std::optional<ColorRecord> PaletteFile::read(std::int32_t n)
{
    std::optional<ColorRecord> record;
    readRange(n, n, &record);
    return record;
}

void PaletteFile::readRange(std::int32_t first, std::int32_t last, std::optional<ColorRecord>* out)
{
    if (last < first)
        return;
    const qint64 wanted = qint64(last) - first + 1;
    std::fill(out, out + wanted, std::nullopt);
    // Record numbers below 1 do not exist; start at the first real one.
    const std::int32_t start = std::max<std::int32_t>(first, 1);
    if (!m_file.isOpen() || start > last)
        return;
    const qint64 records = qint64(last) - start + 1;
    QVarLengthArray<char, 144 * ColorRecord::kSize> buffer(records * ColorRecord::kSize);
    if (!m_file.seek(offsetOf(start)))
        return;
    const qint64 got = m_file.read(buffer.data(), buffer.size());
    if (got <= 0)
        return;
    std::optional<ColorRecord>* const target = out + (start - first);
    for (qint64 k = 0; k < got / ColorRecord::kSize; ++k)
        target[k] = ColorRecord::fromBytes(buffer.constData() + k * ColorRecord::kSize);
}

bool PaletteFile::write(std::int32_t n, const ColorRecord& record)
{
    if (n < 1 || !isWritable() || !m_file.seek(offsetOf(n)))
        return false;
    return m_file.write(record.bytes.data(), ColorRecord::kSize) == ColorRecord::kSize &&
           m_file.flush();
}

} // namespace tintaro
