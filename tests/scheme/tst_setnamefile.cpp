#include "SetNameFile.h"

#include "ScopedCurrentDir.h"
#include "TestFiles.h"

#include <QFile>
#include <QTest>

using namespace tintaro;

namespace {

const QString kFile = QStringLiteral("set.dat");

} // namespace

class TestSetNameFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void load_data();
    void load();
    void tenThousandNames();
    void unreadableFile();
};

void TestSetNameFile::load_data()
{
    QTest::addColumn<QByteArray>("content"); // null: no file
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QStringList>("names");

    QTest::newRow("missing file") << QByteArray() << false << QStringList();
    QTest::newRow("empty file") << QByteArray("") << true << QStringList();
    QTest::newRow("two names, CR LF")
        << QByteArray("\"Ocean\"\r\n\"Forest\"\r\n") << true << QStringList{"Ocean", "Forest"};
    QTest::newRow("bare LF") << QByteArray("\"Ocean\"\n\"Forest\"\n") << true
                             << QStringList{"Ocean", "Forest"};
    QTest::newRow("no final line end")
        << QByteArray("\"Ocean\"\r\n\"Forest\"") << true << QStringList{"Ocean", "Forest"};
    QTest::newRow("empty quoted name")
        << QByteArray("\"\"\r\n\"b\"\r\n") << true << QStringList{"", "b"};
    QTest::newRow("one-character line keeps its place")
        << QByteArray("\"a\"\r\nx\r\n\"c\"\r\n") << true << QStringList{"a", "", "c"};
    QTest::newRow("empty line keeps its place")
        << QByteArray("\"a\"\r\n\r\n\"c\"\r\n") << true << QStringList{"a", "", "c"};
    QTest::newRow("quotes inside kept")
        << QByteArray("\"say \"hi\"\"\r\n") << true << QStringList{"say \"hi\""};
    QTest::newRow("blanks kept") << QByteArray("\"  two  words \"\r\n") << true
                                 << QStringList{"  two  words "};
    QTest::newRow("unquoted line loses its ends")
        << QByteArray("scheme1\r\n") << true << QStringList{"cheme"};
    QTest::newRow("non-ASCII in the locale's encoding")
        << QByteArray("\"Caf\xc3\xa9 cr\xc3\xa8me\"\r\n") << true
        << QStringList{QString::fromUtf8("Caf\xc3\xa9 cr\xc3\xa8me")};
}

void TestSetNameFile::load()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, ok);
    QFETCH(QStringList, names);

    const ScopedCurrentDir dir;
    if (!content.isNull())
        QVERIFY(TestFiles::write(kFile, content));
    const SetNameFile::LoadResult result = SetNameFile::load(kFile);
    QCOMPARE(result.ok, ok);
    QCOMPARE(result.names, names);
    if (ok)
        QVERIFY(result.error.isEmpty());
    else
        QVERIFY2(result.error.contains(QStringLiteral("\"set.dat\"")), qPrintable(result.error));
}

void TestSetNameFile::tenThousandNames()
{
    const ScopedCurrentDir dir;
    QByteArray content;
    for (int i = 1; i <= 10000; ++i)
        content += "\"scheme" + QByteArray::number(i) + "\"\r\n";
    QVERIFY(TestFiles::write(kFile, content));

    const SetNameFile::LoadResult result = SetNameFile::load(kFile);
    QVERIFY(result.ok);
    QCOMPARE(result.names.size(), 10000);
    QCOMPARE(result.names.first(), QStringLiteral("scheme1"));
    QCOMPARE(result.names.at(4999), QStringLiteral("scheme5000"));
    QCOMPARE(result.names.last(), QStringLiteral("scheme10000"));
}

void TestSetNameFile::unreadableFile()
{
    if (TestFiles::ignoresPermissions())
        QSKIP("Permissions do not apply to this user; see the _unprivileged run");
    const ScopedCurrentDir dir;
    QVERIFY(TestFiles::write(kFile, "\"Ocean\"\r\n"));
    QVERIFY(QFile::setPermissions(kFile, QFile::WriteOwner));

    const SetNameFile::LoadResult result = SetNameFile::load(kFile);
    QVERIFY(!result.ok);
    QVERIFY(result.names.isEmpty());
    QVERIFY2(result.error.contains(QStringLiteral("\"set.dat\"")), qPrintable(result.error));
}

QTEST_APPLESS_MAIN(TestSetNameFile)
#include "tst_setnamefile.moc"
