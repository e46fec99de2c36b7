// The user's colour file "mycolor.rgb" as the program reads and rewrites it.
//
// Input: the content of "mycolor.rgb", optionally followed by the separator
// and the content of a "mycolor.tmp" left by an interrupted rewrite.
//
// Checked: the count is the number of whole records; every record reads back
// as its six bytes and nothing reads past the end; every page of the grid
// shows the right records and colours; reading changes nothing; rewriting
// with every other record kept leaves exactly those records, in order,
// whatever temporary file was lying about, and the file open on them.

#include "FuzzSupport.h"
#include "GridCheck.h"

#include "ColorRecord.h"
#include "PaletteFile.h"
#include "RecordRewriter.h"

#include <QByteArray>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <set>
#include <vector>

using namespace tintaro;

namespace {

constexpr char kFile[] = "mycolor.rgb";
constexpr char kTemporary[] = "mycolor.tmp";
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

QByteArray bytesOf(const std::optional<ColorRecord>& record)
{
    return record ? QByteArray(record->bytes.data(), ColorRecord::kSize) : QByteArray();
}

// Reads first..last in one call and checks each entry against the bytes.
void checkRange(PaletteFile& file, const QByteArray& bytes, std::int32_t first, std::int32_t last)
{
    std::vector<std::optional<ColorRecord>> out(std::size_t(std::int64_t(last) - first + 1),
                                                ColorRecord{});
    file.readRange(first, last, out.data());
    for (std::size_t k = 0; k < out.size(); ++k) {
        const std::int64_t n = std::int64_t(first) + std::int64_t(k);
        const QByteArray want = fuzz::recordBytes(bytes, n);
        FUZZ_CHECK(bytesOf(out[k]) == want,
                   "records " + QByteArray::number(first) + ".." + QByteArray::number(last) +
                       ": record " + QByteArray::number(n) + " read as " +
                       fuzz::show(bytesOf(out[k])) + ", the file has " + fuzz::show(want));
    }
}

// The page tops the program can reach (the count less whole steps of 8:
// the first pages, and the last ones, where the page runs out of records),
// and some it should survive anyway.
std::vector<std::int32_t> pageTops(std::int32_t count)
{
    std::set<std::int32_t> tops{0, 1, 7, 8, 143, 144, 145, -1, kMin, kMax, kMax - 143};
    for (std::int32_t top = count, pages = 0; top >= 0; top -= 8, ++pages) {
        if (pages < 8 || top <= 160)
            tops.insert(top);
    }
    for (std::int32_t extra : {1, 8, 143, 144})
        tops.insert(count + extra);
    return {tops.begin(), tops.end()};
}

void checkReading(PaletteFile& file, const QByteArray& bytes)
{
    const std::int32_t count = file.countRecords();
    FUZZ_CHECK(count == bytes.size() / ColorRecord::kSize,
               "counted " + QByteArray::number(count) + " records in " +
                   QByteArray::number(bytes.size()) + " bytes");

    if (count > 0)
        checkRange(file, bytes, 1, count);
    checkRange(file, bytes, -3, 2);
    checkRange(file, bytes, std::max(1, count - 2), count + 3);
    checkRange(file, bytes, kMax - 2, kMax);
    for (std::int32_t n : {kMin, -1, 0, 1, 2, count, count + 1, kMax}) {
        const QByteArray got = bytesOf(file.read(n));
        FUZZ_CHECK(got == fuzz::recordBytes(bytes, n),
                   "record " + QByteArray::number(n) + " read as " + fuzz::show(got));
    }
    for (std::int32_t top : pageTops(count))
        fuzz::checkPage(file, bytes, top);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QList<QByteArray> parts = fuzz::splitParts(data, size, 2);
    const QByteArray& original = parts[0];
    const QByteArray& leftover = parts[1];

    fuzz::freshFolder();
    fuzz::putFile(kFile, original);
    if (!leftover.isNull())
        fuzz::putFile(kTemporary, leftover);

    PaletteFile file;
    FUZZ_CHECK(file.open(QString::fromLatin1(kFile), PaletteFile::Access::ReadWrite),
               file.errorString().toLocal8Bit());
    FUZZ_CHECK(file.isWritable(), QByteArray("opened read and write, but not writable"));
    checkReading(file, original);
    FUZZ_CHECK(fuzz::fileBytes(kFile) == original,
               "reading changed the file to " + fuzz::show(fuzz::fileBytes(kFile)));

    // Keep records 1, 3, 5, ...
    const std::int32_t count = file.countRecords();
    std::int32_t asked = 0;
    QByteArray kept;
    const auto keep = [&](std::int32_t n, const ColorRecord& record) {
        ++asked;
        const QByteArray bytes(record.bytes.data(), ColorRecord::kSize);
        FUZZ_CHECK(n == asked, "asked about record " + QByteArray::number(n) + " after " +
                                   QByteArray::number(asked - 1) + " others");
        FUZZ_CHECK(bytes == fuzz::recordBytes(original, n),
                   "record " + QByteArray::number(n) + " handed over as " + fuzz::show(bytes));
        if (n % 2 == 0)
            return false;
        kept += bytes;
        return true;
    };
    const RecordRewriter::Result result = RecordRewriter::rewrite(file, count, keep);
    FUZZ_CHECK(result.ok, "rewrite failed: " + result.error.toLocal8Bit());
    FUZZ_CHECK(asked == count, "asked about " + QByteArray::number(asked) + " of " +
                                   QByteArray::number(count) + " records");
    FUZZ_CHECK(result.written == (count + 1) / 2, "wrote " + QByteArray::number(result.written) +
                                                      " of " + QByteArray::number(count) +
                                                      " records");
    const QByteArray rewritten = fuzz::fileBytes(kFile);
    FUZZ_CHECK(rewritten == kept,
               "rewritten as " + fuzz::show(rewritten) + ", expected " + fuzz::show(kept));
    FUZZ_CHECK(!fuzz::fileExists(kTemporary),
               "left " + fuzz::show(fuzz::fileBytes(kTemporary)) + " in mycolor.tmp");
    FUZZ_CHECK(file.isOpen() && file.isWritable(), QByteArray("not open again after the rewrite"));
    FUZZ_CHECK(file.countRecords() == result.written,
               "counts " + QByteArray::number(file.countRecords()) + " after the rewrite");
    checkReading(file, rewritten);
    file.close();
    return 0;
}
