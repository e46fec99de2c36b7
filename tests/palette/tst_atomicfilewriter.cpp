#include "PaletteFile.h"
#include "RecordRewriter.h"

#include "FailingDevice.h"
#include "ScopedCurrentDir.h"
#include "TestFiles.h"

#include <QTest>

#include <set>

using namespace tintaro;

namespace {

const QString kTarget = QStringLiteral("mycolor.rgb");
const QString kTemporary = QStringLiteral("mycolor.tmp");
const QByteArray kOld("0A0B0C112233");

bool deleteFirst(std::int32_t n, const ColorRecord&)
{
    return n != 1;
}

} // namespace

class TestAtomicFileWriter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void temporaryName()
    {
        QCOMPARE(AtomicFileWriter(kTarget).temporaryName(), kTemporary);
        QCOMPARE(AtomicFileWriter("a.dir/b.c.rgb").temporaryName(), "a.dir/b.c.tmp");
        QCOMPARE(AtomicFileWriter("odd.tmp").temporaryName(), "odd.tmp.tmp"); // never the target
    }

    // A new file; then staged content over it, which keeps its permissions.
    void commit()
    {
        const ScopedCurrentDir dir;
        AtomicFileWriter fresh(kTarget);
        QVERIFY(fresh.open() && fresh.write("FF8000FF8000") && fresh.commit());
        QCOMPARE(TestFiles::read(kTarget), "FF8000FF8000");
        const QFile::Permissions kept = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
        QVERIFY(QFile::setPermissions(kTarget, kept));
        FailingDevice staging(1 << 20);
        AtomicFileWriter staged(kTarget, staging);
        QVERIFY(staged.open() && staged.write(kOld) && staged.commit());
        QCOMPARE(TestFiles::read(kTarget), kOld);
        QCOMPARE(QFile::permissions(kTarget) & QFile::Permissions(0x7077), kept); // not "User"
        QVERIFY(!QFile::exists(kTemporary) && staged.errorString().isEmpty());
    }

    // The target stays as it was, no temporary is left, and the error says
    // why. The row names the failure; "rewrite, ": through RecordRewriter.
    void failures_data()
    {
        QTest::addColumn<QString>("error"); // empty: none
        const QString full = "\"mycolor.tmp\": No space left on device";
        QTest::newRow("disk full") << full;
        QTest::newRow("leftover is a folder") << "\"mycolor.tmp\"";
        QTest::newRow("abandoned") << "";
        QTest::newRow("not open") << "\"mycolor.rgb\"";
        QTest::newRow("rewrite, disk full") << full;
        QTest::newRow("rewrite, not open") << "\"mycolor.rgb\" is not open";
        QTest::newRow("rewrite, opened read-only") << "\"mycolor.rgb\" is read-only";
    }

    void failures() { fails(); }

    void protectedFiles_data()
    {
        QTest::addColumn<QString>("error");
        QTest::newRow("read-only folder") << "\"mycolor.tmp\"";
        QTest::newRow("read-only file") << "\"mycolor.rgb\" is read-only";
        QTest::newRow("rewrite, read-only folder") << "\"mycolor.tmp\"";
        QTest::newRow("rewrite, read-only file") << "\"mycolor.rgb\" is read-only";
    }

    void protectedFiles()
    {
        if (TestFiles::ignoresPermissions())
            QSKIP("Permissions do not bind this user; see the _unprivileged run");
        fails();
    }

    // The kept records replace the file, over a temporary left by a crash,
    // and the file is open again on the new content.
    void rewrite_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("deleted"); // 0: clean, the first of equal records kept
        QTest::addColumn<QByteArray>("expected");
        using TestFiles::records;
        QTest::newRow("across chunks; a partial record and those past the count dropped")
            << records(200000) + "F" << 199999 << 65537 << records(65536) + records(134462, 65537);
        QTest::newRow("damaged records as they are; count past the end")
            << QByteArray("0A0B0C\0\xffZZ\r\n\x1az!!--", 18) << 7 << 1
            << QByteArray("\0\xffZZ\r\n\x1az!!--", 12);
        QTest::newRow("clean, letter case counts") << QByteArray("FF000000FF00FF0000ff000000FF00")
                                                   << 5 << 0 << QByteArray("FF000000FF00ff0000");
        QTest::newRow("delete the only colour") << QByteArray("FF8000") << 1 << 1 << QByteArray("");
    }

    void rewrite()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, count);
        QFETCH(int, deleted);
        QFETCH(QByteArray, expected);
        const ScopedCurrentDir dir;
        QVERIFY(TestFiles::write(kTarget, content) &&
                TestFiles::write(kTemporary, "left by a crash"));
        PaletteFile file;
        QVERIFY(file.open(kTarget, PaletteFile::Access::ReadWrite));
        std::set<QByteArray> seen;
        std::int32_t asked = 0;
        bool inOrder = true;
        const auto keep = [&](std::int32_t n, const ColorRecord& record) {
            inOrder = inOrder && n == ++asked;
            return deleted ? n != deleted : seen.insert(QByteArray(record.bytes.data(), 6)).second;
        };
        const RecordRewriter::Result result = RecordRewriter::rewrite(file, count, keep);
        QVERIFY2(result.ok && result.error.isEmpty(), qPrintable(result.error));
        QVERIFY(inOrder);
        QCOMPARE(asked, std::min(count, int(content.size() / 6)));
        QCOMPARE(result.written, int(expected.size() / 6));
        QCOMPARE(TestFiles::read(kTarget), expected);
        QVERIFY(!QFile::exists(kTemporary));
        QCOMPARE(file.countRecords(), result.written);
        QVERIFY(file.write(result.written + 1, ColorRecord::fromColor(0x0080FF)));
        QCOMPARE(TestFiles::read(kTarget), expected + "FF8000");
    }

private:
    void fails()
    {
        QFETCH(QString, error);
        const QString tag = QTest::currentDataTag();
        const QString how = tag.section(", ", -1);
        const ScopedCurrentDir dir;
        QVERIFY(TestFiles::write(kTarget, kOld));
        QVERIFY(how != "leftover is a folder" || QDir().mkpath(kTemporary + "/inside"));
        QVERIFY(how != "read-only folder" || TestFiles::setReadOnly(dir.path(), true));
        QVERIFY(how != "read-only file" || TestFiles::setReadOnly(kTarget, true));
        FailingDevice staging(how == "disk full" ? 3 : 1 << 20);
        QString why;
        if (tag.startsWith("rewrite")) {
            PaletteFile file;
            QVERIFY(file.open(kTarget, how == "opened read-only" ? PaletteFile::Access::ReadOnly
                                                                 : PaletteFile::Access::ReadWrite));
            if (how == "not open")
                file.close();
            const RecordRewriter::Result result =
                RecordRewriter::rewrite(file, 2, deleteFirst, staging);
            QVERIFY(!result.ok && result.written == 0);
            const bool old = file.read(2) == ColorRecord::fromBytes("112233");
            QCOMPARE(old, how != "not open"); // still on the old file
            why = result.error;
        } else {
            AtomicFileWriter writer(kTarget, staging);
            QCOMPARE(how != "not open" && writer.open(), how == "disk full" || how == "abandoned");
            QCOMPARE(writer.write("FF8000FF8000"), how == "abandoned");
            QCOMPARE(QFileInfo(kTemporary).isFile(), how == "abandoned");
            QVERIFY(how == "abandoned" || !writer.commit());
            why = writer.errorString();
        }
        QCOMPARE(TestFiles::read(kTarget), kOld);
        QVERIFY(!QFileInfo(kTemporary).isFile());
        QVERIFY2(error.isEmpty() ? why.isEmpty() : why.contains(error), qPrintable(why));
    }
};

QTEST_APPLESS_MAIN(TestAtomicFileWriter)
#include "tst_atomicfilewriter.moc"
