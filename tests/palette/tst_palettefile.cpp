#include "PaletteFile.h"

#include "ScopedCurrentDir.h"
#include "TestFiles.h"

#include <QFile>
#include <QTest>

#include <limits>
#include <vector>

using namespace tintaro;

namespace {

const QString kFile = QStringLiteral("mycolor.rgb");

QByteArray bytesOf(const std::optional<ColorRecord>& record)
{
    return record ? QByteArray(record->bytes.data(), ColorRecord::kSize) : QByteArray();
}

} // namespace

class TestPaletteFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void count_data();
    void count();
    void openAccess_data();
    void openAccess();
    void protectedFiles_data();
    void protectedFiles();
    void read_data();
    void read();
    void readRange_data();
    void readRange();
    void write_data();
    void write();
    void openClosesPrevious();
};

void TestPaletteFile::count_data()
{
    QTest::addColumn<qint64>("size");
    QTest::addColumn<int>("records");

    constexpr qint64 kMax = std::numeric_limits<std::int32_t>::max();
    QTest::newRow("empty") << qint64(0) << 0;
    QTest::newRow("partial record only") << qint64(5) << 0;
    QTest::newRow("one record") << qint64(6) << 1;
    QTest::newRow("13 bytes") << qint64(13) << 2;
    QTest::newRow("6N+3") << qint64(6 * 1000 + 3) << 1000;
    QTest::newRow("60 MB") << qint64(60) * 1024 * 1024 << 10485760;
    QTest::newRow("largest count") << 6 * kMax + 5 << int(kMax);
    QTest::newRow("beyond the largest count") << 6 * kMax + 6 << int(kMax);
}

void TestPaletteFile::count()
{
    QFETCH(qint64, size);
    QFETCH(int, records);

    const ScopedCurrentDir dir;
    {
        // Sparse: the big rows cost no disk space, and a count that read
        // the file instead of measuring it would not finish in time.
        QFile file(kFile);
        QVERIFY(file.open(QIODevice::WriteOnly));
        if (!file.resize(size))
            QSKIP("This file system cannot hold a file that large");
    }
    PaletteFile palette;
    QCOMPARE(palette.countRecords(), 0); // nothing open yet
    QVERIFY(palette.open(kFile, PaletteFile::Access::ReadOnly));
    QCOMPARE(palette.countRecords(), records);
}

void TestPaletteFile::openAccess_data()
{
    QTest::addColumn<QByteArray>("content"); // null: no file
    QTest::addColumn<bool>("readWrite");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<bool>("writable");

    QTest::newRow("user file missing: created") << QByteArray() << true << true << true;
    QTest::newRow("web-safe file missing: not created") << QByteArray() << false << false << false;
    QTest::newRow("user file present") << QByteArray("FF8000A") << true << true << true;
    QTest::newRow("web-safe file present") << QByteArray("FF8000") << false << true << false;
}

void TestPaletteFile::openAccess()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, readWrite);
    QFETCH(bool, opens);
    QFETCH(bool, writable);

    const ScopedCurrentDir dir;
    if (!content.isNull())
        QVERIFY(TestFiles::write(kFile, content));
    PaletteFile palette;
    QCOMPARE(palette.open(kFile, readWrite ? PaletteFile::Access::ReadWrite
                                           : PaletteFile::Access::ReadOnly),
             opens);
    QCOMPARE(palette.isOpen(), opens);
    QCOMPARE(palette.isWritable(), writable);
    QCOMPARE(QFile::exists(kFile), opens);
    if (opens) // opening never changes what is there
        QCOMPARE(TestFiles::read(kFile), content.isNull() ? QByteArray("") : content);
}

void TestPaletteFile::protectedFiles_data()
{
    QTest::addColumn<QByteArray>("content"); // null: no file
    QTest::addColumn<bool>("fileReadOnly");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<bool>("writable");

    QTest::newRow("read-only file: shown, not changed")
        << QByteArray("0A0B0C") << true << true << false;
    QTest::newRow("read-only folder, file missing") << QByteArray() << false << false << false;
    QTest::newRow("read-only folder, writable file")
        << QByteArray("0A0B0C") << false << true << true;
}

void TestPaletteFile::protectedFiles()
{
    if (TestFiles::ignoresPermissions())
        QSKIP("Permissions do not apply to this user; see the _unprivileged run");
    QFETCH(QByteArray, content);
    QFETCH(bool, fileReadOnly);
    QFETCH(bool, opens);
    QFETCH(bool, writable);

    const ScopedCurrentDir dir;
    if (!content.isNull())
        QVERIFY(TestFiles::write(kFile, content));
    if (fileReadOnly)
        QVERIFY(TestFiles::setReadOnly(kFile, true));
    else
        QVERIFY(TestFiles::setReadOnly(dir.path(), true));

    PaletteFile palette;
    QCOMPARE(palette.open(kFile, PaletteFile::Access::ReadWrite), opens);
    QCOMPARE(palette.isWritable(), writable);
    QCOMPARE(QFile::exists(kFile), opens);
    if (!opens)
        return;
    QCOMPARE(palette.read(1).value_or(ColorRecord()).toColor(), std::optional(0x000C0B0A));
    QCOMPARE(palette.write(2, ColorRecord::fromColor(0xFFFFFF)), writable);
    QCOMPARE(TestFiles::read(kFile), writable ? content + "FFFFFF" : content);
}

void TestPaletteFile::read_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("n");
    QTest::addColumn<QByteArray>("bytes"); // null: no record
    QTest::addColumn<int>("color");        // -1: no colour

    const QByteArray three("0A0B0Cff8000FF8000");
    QTest::newRow("first record") << three << 1 << QByteArray("0A0B0C") << 0x000C0B0A;
    QTest::newRow("lower case") << three << 2 << QByteArray("ff8000") << 0x000080FF;
    QTest::newRow("upper case") << three << 3 << QByteArray("FF8000") << 0x000080FF;
    QTest::newRow("past the end") << three << 4 << QByteArray() << -1;
    QTest::newRow("record 0") << three << 0 << QByteArray() << -1;
    QTest::newRow("negative") << three << -5 << QByteArray() << -1;
    QTest::newRow("partial tail") << QByteArray("0A0B0CFF8000F") << 3 << QByteArray() << -1;
    QTest::newRow("last whole before tail")
        << QByteArray("0A0B0CFF8000F") << 2 << QByteArray("FF8000") << 0x000080FF;
    QTest::newRow("not hexadecimal")
        << QByteArray("0A0B0CXYZ!23") << 2 << QByteArray("XYZ!23") << -1;
    QTest::newRow("empty file") << QByteArray("") << 1 << QByteArray() << -1;
}

void TestPaletteFile::read()
{
    QFETCH(QByteArray, content);
    QFETCH(int, n);
    QFETCH(QByteArray, bytes);
    QFETCH(int, color);

    const ScopedCurrentDir dir;
    QVERIFY(TestFiles::write(kFile, content));
    PaletteFile palette;
    QVERIFY(palette.open(kFile, PaletteFile::Access::ReadOnly));
    const std::optional<ColorRecord> record = palette.read(n);
    QCOMPARE(bytesOf(record), bytes);
    if (record)
        QCOMPARE(record->toColor().value_or(-1), color);
}

void TestPaletteFile::readRange_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<int>("firstPresent"); // index into the output
    QTest::addColumn<int>("presentCount");

    const QByteArray ten = TestFiles::records(10, 0x100);
    QTest::newRow("whole file") << ten << 1 << 10 << 0 << 10;
    QTest::newRow("one record") << ten << 5 << 5 << 0 << 1;
    QTest::newRow("crossing the end") << ten << 8 << 12 << 0 << 3;
    QTest::newRow("wholly past the end") << ten << 11 << 20 << 0 << 0;
    QTest::newRow("starting at record 0") << ten << 0 << 3 << 1 << 3;
    QTest::newRow("starting below 0") << ten << -2 << 1 << 3 << 1;
    QTest::newRow("partial tail not read") << ten.left(15) << 1 << 3 << 0 << 2;
    QTest::newRow("empty file") << QByteArray("") << 1 << 144 << 0 << 0;
}

void TestPaletteFile::readRange()
{
    QFETCH(QByteArray, content);
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(int, firstPresent);
    QFETCH(int, presentCount);

    const ScopedCurrentDir dir;
    QVERIFY(TestFiles::write(kFile, content));
    PaletteFile palette;
    QVERIFY(palette.open(kFile, PaletteFile::Access::ReadOnly));
    // Stale entries from an earlier page must not survive.
    std::vector<std::optional<ColorRecord>> out(last - first + 1, ColorRecord::fromBytes("STALE!"));
    palette.readRange(first, last, out.data());
    for (int k = 0; k < int(out.size()); ++k) {
        const bool present = k >= firstPresent && k < firstPresent + presentCount;
        const qsizetype offset = qsizetype(first + k - 1) * ColorRecord::kSize;
        QCOMPARE(bytesOf(out[k]), present ? content.mid(offset, 6) : QByteArray());
    }
}

void TestPaletteFile::write_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("color");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("first pick") << QByteArray("") << 1 << 0x000080FF << true
                                << QByteArray("FF8000");
    QTest::newRow("append over a partial tail") << QByteArray("0A0B0C112233A") << 3 << 0x000080FF
                                                << true << QByteArray("0A0B0C112233FF8000");
    QTest::newRow("replace record 1")
        << QByteArray("0A0B0C112233") << 1 << 0xFFFFFF << true << QByteArray("FFFFFF112233");
    QTest::newRow("record 0 refused")
        << QByteArray("0A0B0C") << 0 << 0xFFFFFF << false << QByteArray("0A0B0C");
}

void TestPaletteFile::write()
{
    QFETCH(QByteArray, content);
    QFETCH(int, n);
    QFETCH(int, color);
    QFETCH(bool, ok);
    QFETCH(QByteArray, after);

    const ScopedCurrentDir dir;
    QVERIFY(TestFiles::write(kFile, content));
    PaletteFile palette;
    QVERIFY(palette.open(kFile, PaletteFile::Access::ReadWrite));
    QCOMPARE(palette.write(n, ColorRecord::fromColor(color)), ok);
    // Another reader sees the record while the file is still open.
    QCOMPARE(TestFiles::read(kFile), after);
    QCOMPARE(palette.countRecords(), int(after.size() / 6));
    if (ok)
        QCOMPARE(palette.read(n).value_or(ColorRecord()).toColor(), std::optional(color));
}

void TestPaletteFile::openClosesPrevious()
{
    const ScopedCurrentDir dir;
    QVERIFY(TestFiles::write(kFile, "0A0B0C"));
    QVERIFY(TestFiles::write(QStringLiteral("websafe.rgb"), "FFFFFF33CC99"));
    PaletteFile palette;
    QVERIFY(palette.open(kFile, PaletteFile::Access::ReadWrite));
    QVERIFY(palette.open(QStringLiteral("websafe.rgb"), PaletteFile::Access::ReadOnly));
    QCOMPARE(palette.fileName(), QStringLiteral("websafe.rgb"));
    QCOMPARE(palette.countRecords(), 2);
    QCOMPARE(bytesOf(palette.read(1)), QByteArray("FFFFFF"));
    QVERIFY(!palette.write(1, ColorRecord::fromColor(0)));
    palette.close();
    QVERIFY(!palette.isOpen());
    QCOMPARE(palette.countRecords(), 0);
    QVERIFY(!palette.read(1));
}

QTEST_APPLESS_MAIN(TestPaletteFile)
#include "tst_palettefile.moc"
