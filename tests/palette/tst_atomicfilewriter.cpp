#include "AtomicFileWriter.h"

#include "FailingDevice.h"
#include "ScopedCurrentDir.h"
#include "TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

#include <memory>

using namespace tintaro;

namespace {

const QString kTarget = QStringLiteral("mycolor.rgb");
const QString kTemporary = QStringLiteral("mycolor.tmp");
const QByteArray kOld("0A0B0C112233");
const QByteArray kNew("FF8000FF8000FF8000");

// The file's own mode bits; the "User" flags describe the caller instead.
const QFile::Permissions kModeBits = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                     QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                     QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;

bool temporaryFileLeft()
{
    return QFileInfo(kTemporary).isFile();
}

} // namespace

class TestAtomicFileWriter : public QObject
{
    Q_OBJECT

public:
    enum Failure
    {
        DiskFull,
        LeftoverIsFolder,
        Abandoned,
        CommitWithoutOpen
    };
    Q_ENUM(Failure)

private Q_SLOTS:
    void temporaryName_data();
    void temporaryName();
    void commit_data();
    void commit();
    void failures_data();
    void failures();
    void protectedFiles_data();
    void protectedFiles();
};

void TestAtomicFileWriter::temporaryName_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("temporary");

    QTest::newRow("colours") << "mycolor.rgb"
                             << "mycolor.tmp";
    QTest::newRow("set names") << "set.dat"
                               << "set.tmp";
    QTest::newRow("set colours") << "colorset.dat"
                                 << "colorset.tmp";
    QTest::newRow("in a folder") << "some/dir/mycolor.rgb"
                                 << "some/dir/mycolor.tmp";
    QTest::newRow("two dots") << "a.b.rgb"
                              << "a.b.tmp";
    QTest::newRow("no extension") << "palette"
                                  << "palette.tmp";
    QTest::newRow("already .tmp") << "odd.tmp"
                                  << "odd.tmp.tmp";
}

void TestAtomicFileWriter::temporaryName()
{
    QFETCH(QString, target);
    QFETCH(QString, temporary);

    QCOMPARE(AtomicFileWriter::temporaryNameFor(target), temporary);
    QCOMPARE(AtomicFileWriter(target).temporaryName(), temporary);
}

void TestAtomicFileWriter::commit_data()
{
    QTest::addColumn<QByteArray>("old");      // null: no target yet
    QTest::addColumn<QByteArray>("leftover"); // null: no temporary left
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("staged");

    QTest::newRow("new file") << QByteArray() << QByteArray() << kNew << false;
    QTest::newRow("longer file replaced") << kNew + kNew << QByteArray() << kOld << false;
    QTest::newRow("leftover temporary discarded")
        << kOld << QByteArray("LEFTOVER FROM A CRASH, LONGER THAN THE NEW CONTENT") << kNew
        << false;
    QTest::newRow("emptied") << kOld << QByteArray() << QByteArray("") << false;
    QTest::newRow("any bytes, exactly")
        << kOld << QByteArray() << QByteArray("\0\r\n\x1a\xff ", 6) << false;
    QTest::newRow("staged on a device") << kOld << QByteArray("junk") << kNew << true;
}

void TestAtomicFileWriter::commit()
{
    QFETCH(QByteArray, old);
    QFETCH(QByteArray, leftover);
    QFETCH(QByteArray, content);
    QFETCH(bool, staged);

    // Permissions the default (umask) would not give: the new file keeps them.
    const QFile::Permissions kept = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    const ScopedCurrentDir dir;
    if (!old.isNull()) {
        QVERIFY(TestFiles::write(kTarget, old));
        QVERIFY(QFile::setPermissions(kTarget, kept));
    }
    if (!leftover.isNull())
        QVERIFY(TestFiles::write(kTemporary, leftover));

    FailingDevice staging(1 << 20);
    const auto writer = staged ? std::make_unique<AtomicFileWriter>(kTarget, staging)
                               : std::make_unique<AtomicFileWriter>(kTarget);
    QVERIFY2(writer->open(), qPrintable(writer->errorString()));
    QCOMPARE(TestFiles::read(kTemporary), QByteArray(""));
    QVERIFY(writer->write(content));
    // Until the commit, the target is the old file.
    QCOMPARE(QFile::exists(kTarget), !old.isNull());
    if (!old.isNull())
        QCOMPARE(TestFiles::read(kTarget), old);

    QVERIFY2(writer->commit(), qPrintable(writer->errorString()));
    QCOMPARE(TestFiles::read(kTarget), content);
    QVERIFY(!QFile::exists(kTemporary));
    QVERIFY(writer->errorString().isEmpty());
    if (!old.isNull())
        QCOMPARE(QFile::permissions(kTarget) & kModeBits, kept);
}

void TestAtomicFileWriter::failures_data()
{
    QTest::addColumn<Failure>("failure");
    QTest::addColumn<QString>("errorText"); // must appear in errorString(); empty: no error

    QTest::newRow("disk full") << DiskFull << "\"mycolor.tmp\": No space left on device";
    QTest::newRow("leftover is a folder") << LeftoverIsFolder << "\"mycolor.tmp\"";
    QTest::newRow("abandoned") << Abandoned << QString();
    QTest::newRow("commit without open") << CommitWithoutOpen << "\"mycolor.rgb\"";
}

void TestAtomicFileWriter::failures()
{
    QFETCH(Failure, failure);
    QFETCH(QString, errorText);

    const ScopedCurrentDir dir;
    QVERIFY(TestFiles::write(kTarget, kOld));
    if (failure == LeftoverIsFolder) {
        QVERIFY(QDir().mkdir(kTemporary));
        QVERIFY(TestFiles::write(kTemporary + QStringLiteral("/inside"), "x"));
    }

    QString error;
    {
        FailingDevice staging(failure == DiskFull ? 7 : 1 << 20);
        AtomicFileWriter writer(kTarget, staging);
        const bool opened = failure != CommitWithoutOpen && writer.open();
        QCOMPARE(opened, failure == DiskFull || failure == Abandoned);
        if (opened) {
            QCOMPARE(writer.write(kNew), failure != DiskFull);
            QVERIFY(temporaryFileLeft() == (failure == Abandoned));
        }
        if (failure != Abandoned)
            QVERIFY(!writer.commit());
        error = writer.errorString();
    }
    QCOMPARE(TestFiles::read(kTarget), kOld);
    QVERIFY(!temporaryFileLeft());
    if (errorText.isEmpty())
        QVERIFY2(error.isEmpty(), qPrintable(error));
    else
        QVERIFY2(error.contains(errorText), qPrintable(error));
}

void TestAtomicFileWriter::protectedFiles_data()
{
    QTest::addColumn<bool>("folderReadOnly");
    QTest::addColumn<QString>("errorText");

    QTest::newRow("read-only folder") << true << "\"mycolor.tmp\"";
    QTest::newRow("read-only target") << false << "\"mycolor.rgb\" is read-only";
}

void TestAtomicFileWriter::protectedFiles()
{
    if (TestFiles::ignoresPermissions())
        QSKIP("Permissions do not apply to this user; see the _unprivileged run");
    QFETCH(bool, folderReadOnly);
    QFETCH(QString, errorText);

    const ScopedCurrentDir dir;
    QVERIFY(TestFiles::write(kTarget, kOld));
    QVERIFY(TestFiles::setReadOnly(folderReadOnly ? dir.path() : kTarget, true));

    AtomicFileWriter writer(kTarget);
    QVERIFY(!writer.open());
    QVERIFY(!writer.write(kNew));
    QVERIFY(!writer.commit());
    QVERIFY2(writer.errorString().contains(errorText), qPrintable(writer.errorString()));
    QCOMPARE(TestFiles::read(kTarget), kOld);
    QVERIFY(!temporaryFileLeft());
}

QTEST_APPLESS_MAIN(TestAtomicFileWriter)
#include "tst_atomicfilewriter.moc"
