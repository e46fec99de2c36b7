#include "PaletteFile.h"
#include "RecordRewriter.h"

#include "FailingDevice.h"
#include "ScopedCurrentDir.h"
#include "TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QTest>

using namespace tintaro;

namespace {

const QString kFile = QStringLiteral("mycolor.rgb");
const QString kTemporary = QStringLiteral("mycolor.tmp");

QByteArray bytesOf(const std::optional<ColorRecord>& record)
{
    return record ? QByteArray(record->bytes.data(), ColorRecord::kSize) : QByteArray();
}

} // namespace

class TestRecordRewriter : public QObject
{
    Q_OBJECT

public:
    enum Rule
    {
        KeepAll,
        KeepNone,
        Delete,
        FirstOfEqual
    };
    Q_ENUM(Rule)
    enum Failure
    {
        DiskFull,
        NotOpen,
        OpenedReadOnly,
        LeftoverIsFolder
    };
    Q_ENUM(Failure)

private Q_SLOTS:
    void rewrite_data();
    void rewrite();
    void failures_data();
    void failures();
    void protectedFiles_data();
    void protectedFiles();
};

void TestRecordRewriter::rewrite_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("count");
    QTest::addColumn<Rule>("rule");
    QTest::addColumn<int>("deleted"); // the record Delete drops
    QTest::addColumn<QByteArray>("expected");

    using TestFiles::records;
    QTest::newRow("delete the only colour")
        << QByteArray("FF8000") << 1 << Delete << 1 << QByteArray("");
    QTest::newRow("delete 100 of 200")
        << records(200) << 200 << Delete << 100 << records(99) + records(100, 100);
    QTest::newRow("delete the newest") << records(5) << 5 << Delete << 5 << records(4);
    QTest::newRow("delete across a chunk boundary")
        << records(200000) << 200000 << Delete << 65537
        << records(65536) + records(200000 - 65537, 65537);
    QTest::newRow("keep all: unchanged") << records(300) << 300 << KeepAll << 0 << records(300);
    QTest::newRow("13 bytes: tail dropped")
        << QByteArray("0A0B0C112233F") << 2 << KeepAll << 0 << QByteArray("0A0B0C112233");
    QTest::newRow("damaged records copied as they are")
        << QByteArray("0A0B0C\0\xffZZ\r\nzz!!--", 18) << 3 << Delete << 1
        << QByteArray("\0\xffZZ\r\nzz!!--", 12);
    QTest::newRow("clean duplicates") << QByteArray("FF000000FF00FF00000000FF00FF00") << 5
                                      << FirstOfEqual << 0 << QByteArray("FF000000FF000000FF");
    QTest::newRow("clean: letter case differs")
        << QByteArray("ff0000FF0000ff0000") << 3 << FirstOfEqual << 0 << QByteArray("ff0000FF0000");
    QTest::newRow("keep none") << records(10) << 10 << KeepNone << 0 << QByteArray("");
    QTest::newRow("records past the count dropped")
        << records(3) << 2 << KeepAll << 0 << records(2);
    QTest::newRow("count past the end of the file")
        << records(3) << 7 << KeepAll << 0 << records(3);
}

void TestRecordRewriter::rewrite()
{
    QFETCH(QByteArray, content);
    QFETCH(int, count);
    QFETCH(Rule, rule);
    QFETCH(int, deleted);
    QFETCH(QByteArray, expected);

    const ScopedCurrentDir dir;
    QVERIFY(TestFiles::write(kFile, content));
    QVERIFY(TestFiles::write(kTemporary, "left by a crash"));
    PaletteFile file;
    QVERIFY(file.open(kFile, PaletteFile::Access::ReadWrite));

    QSet<QByteArray> seen;
    std::int32_t asked = 0;
    bool inOrder = true;
    const auto keep = [&](std::int32_t n, const ColorRecord& record) {
        inOrder = inOrder && n == ++asked;
        switch (rule) {
        case KeepAll:
            return true;
        case KeepNone:
            return false;
        case Delete:
            return n != deleted;
        case FirstOfEqual: {
            const QByteArray bytes(record.bytes.data(), ColorRecord::kSize);
            if (seen.contains(bytes))
                return false;
            seen.insert(bytes);
            return true;
        }
        }
        return true;
    };
    const RecordRewriter::Result result = RecordRewriter::rewrite(file, count, keep);

    QVERIFY2(result.ok, qPrintable(result.error));
    QVERIFY(result.error.isEmpty());
    QVERIFY(inOrder);
    QCOMPARE(asked, std::min<std::int32_t>(count, content.size() / ColorRecord::kSize));
    QCOMPARE(result.written, int(expected.size() / ColorRecord::kSize));
    QCOMPARE(TestFiles::read(kFile), expected);
    QVERIFY(!QFile::exists(kTemporary));

    // Open again on the new file: reads and appends go to what is on disk.
    QVERIFY(file.isWritable());
    QCOMPARE(file.countRecords(), result.written);
    QCOMPARE(bytesOf(file.read(1)), expected.left(ColorRecord::kSize));
    QVERIFY(file.write(result.written + 1, ColorRecord::fromColor(0x000080FF)));
    QCOMPARE(TestFiles::read(kFile), expected + "FF8000");
}

void TestRecordRewriter::failures_data()
{
    QTest::addColumn<Failure>("failure");
    QTest::addColumn<QString>("errorText");

    QTest::newRow("disk full") << DiskFull << "\"mycolor.tmp\": No space left on device";
    QTest::newRow("no file open") << NotOpen << "\"mycolor.rgb\" is not open";
    QTest::newRow("opened read-only") << OpenedReadOnly << "\"mycolor.rgb\" is read-only";
    QTest::newRow("leftover is a folder") << LeftoverIsFolder << "\"mycolor.tmp\"";
}

void TestRecordRewriter::failures()
{
    QFETCH(Failure, failure);
    QFETCH(QString, errorText);

    const ScopedCurrentDir dir;
    const QByteArray old = TestFiles::records(1000);
    QVERIFY(TestFiles::write(kFile, old));
    if (failure == LeftoverIsFolder) {
        QVERIFY(QDir().mkdir(kTemporary));
        QVERIFY(TestFiles::write(kTemporary + QStringLiteral("/inside"), "x"));
    }
    PaletteFile file;
    QVERIFY(file.open(kFile, failure == OpenedReadOnly ? PaletteFile::Access::ReadOnly
                                                       : PaletteFile::Access::ReadWrite));
    if (failure == NotOpen)
        file.close();
    const bool wasWritable = file.isWritable();

    FailingDevice staging(100); // a few records fit, the rest do not
    const auto keepAllButFirst = [](std::int32_t n, const ColorRecord&) { return n != 1; };
    const RecordRewriter::Result result =
        RecordRewriter::rewrite(file, 1000, keepAllButFirst, staging);

    QVERIFY(!result.ok);
    QCOMPARE(result.written, 0);
    QVERIFY2(result.error.contains(errorText), qPrintable(result.error));
    QCOMPARE(TestFiles::read(kFile), old);
    QVERIFY(!QFileInfo(kTemporary).isFile());
    // Still on the old file, as it was.
    QCOMPARE(file.isOpen(), failure != NotOpen);
    QCOMPARE(file.isWritable(), wasWritable);
    if (file.isOpen())
        QCOMPARE(bytesOf(file.read(1)), old.left(ColorRecord::kSize));
}

void TestRecordRewriter::protectedFiles_data()
{
    QTest::addColumn<bool>("folderReadOnly");
    QTest::addColumn<QString>("errorText");

    QTest::newRow("read-only folder") << true << "\"mycolor.tmp\"";
    QTest::newRow("read-only file") << false << "\"mycolor.rgb\" is read-only";
}

void TestRecordRewriter::protectedFiles()
{
    if (TestFiles::ignoresPermissions())
        QSKIP("Permissions do not apply to this user; see the _unprivileged run");
    QFETCH(bool, folderReadOnly);
    QFETCH(QString, errorText);

    const ScopedCurrentDir dir;
    const QByteArray old = TestFiles::records(20);
    QVERIFY(TestFiles::write(kFile, old));
    QVERIFY(TestFiles::setReadOnly(folderReadOnly ? dir.path() : kFile, true));
    PaletteFile file;
    QVERIFY(file.open(kFile, PaletteFile::Access::ReadWrite));

    const auto deleteFirst = [](std::int32_t n, const ColorRecord&) { return n != 1; };
    const RecordRewriter::Result result = RecordRewriter::rewrite(file, 20, deleteFirst);

    QVERIFY(!result.ok);
    QVERIFY2(result.error.contains(errorText), qPrintable(result.error));
    QCOMPARE(TestFiles::read(kFile), old);
    QVERIFY(!QFile::exists(kTemporary));
    QVERIFY(file.isOpen());
    QCOMPARE(bytesOf(file.read(20)), old.right(ColorRecord::kSize));
}

QTEST_APPLESS_MAIN(TestRecordRewriter)
#include "tst_recordrewriter.moc"
