#include "PaletteFile.h"
#include "PaletteGrid.h"
#include "RecordRewriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <unordered_set>

using namespace tintaro;

namespace {

constexpr std::int32_t kRecords = 1000000;

// kRecords distinct colours, record n holding n - 1 as RRGGBB.
bool writeRecords(const QString& path, std::int32_t count)
{
    QByteArray bytes;
    bytes.reserve(qsizetype(count) * ColorRecord::kSize);
    for (std::int32_t i = 0; i < count; ++i)
        bytes += QByteArray::number(i, 16).toUpper().rightJustified(6, '0');
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

} // namespace

class BenchPalette : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void fillPage();
    void countSixtyMegabytes();
    void deleteOneOfAMillion();
    void keepAllOfAMillion();
    void cleanAMillion();

private:
    QTemporaryDir m_dir;
    QString m_path;
};

void BenchPalette::init()
{
    QVERIFY(m_dir.isValid());
    m_path = m_dir.filePath(QStringLiteral("mycolor.rgb"));
    QVERIFY(writeRecords(m_path, kRecords));
}

void BenchPalette::fillPage()
{
    PaletteFile file;
    QVERIFY(file.open(m_path, PaletteFile::Access::ReadWrite));
    PaletteGrid grid;
    std::int32_t top = kRecords;
    QBENCHMARK
    {
        grid.fill(file, top);
        top = top > 1000 ? top - 8 : kRecords; // a different page each time
    }
    QVERIFY(grid.cellRecord(0) > 0);
}

void BenchPalette::countSixtyMegabytes()
{
    const QString path = m_dir.filePath(QStringLiteral("big.rgb"));
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(qint64(60) * 1024 * 1024));
    }
    std::int32_t count = 0;
    QBENCHMARK
    {
        PaletteFile file;
        file.open(path, PaletteFile::Access::ReadWrite);
        count = file.countRecords();
    }
    QCOMPARE(count, 10485760);
}

void BenchPalette::deleteOneOfAMillion()
{
    PaletteFile file;
    QVERIFY(file.open(m_path, PaletteFile::Access::ReadWrite));
    std::int32_t count = kRecords;
    QBENCHMARK
    {
        const std::int32_t victim = count / 2;
        const RecordRewriter::Result result = RecordRewriter::rewrite(
            file, count, [victim](std::int32_t n, const ColorRecord&) { return n != victim; });
        QVERIFY2(result.ok, qPrintable(result.error));
        count = result.written;
    }
    QCOMPARE(file.countRecords(), count);
}

void BenchPalette::keepAllOfAMillion()
{
    PaletteFile file;
    QVERIFY(file.open(m_path, PaletteFile::Access::ReadWrite));
    QBENCHMARK
    {
        const RecordRewriter::Result result = RecordRewriter::rewrite(
            file, kRecords, [](std::int32_t, const ColorRecord&) { return true; });
        QVERIFY2(result.ok, qPrintable(result.error));
    }
    QCOMPARE(file.countRecords(), kRecords);
}

// A duplicate clean that finds none: every record goes through a hash set.
void BenchPalette::cleanAMillion()
{
    PaletteFile file;
    QVERIFY(file.open(m_path, PaletteFile::Access::ReadWrite));
    QBENCHMARK
    {
        std::unordered_set<std::uint64_t> seen;
        seen.reserve(kRecords);
        const RecordRewriter::Result result =
            RecordRewriter::rewrite(file, kRecords, [&seen](std::int32_t, const ColorRecord& r) {
                std::uint64_t key = 0;
                std::memcpy(&key, r.bytes.data(), ColorRecord::kSize);
                return seen.insert(key).second;
            });
        QVERIFY2(result.ok, qPrintable(result.error));
    }
    QCOMPARE(file.countRecords(), kRecords);
}

QTEST_APPLESS_MAIN(BenchPalette)
#include "bench_palette.moc"
