#include "ColorSetStore.h"
#include "SetNameFile.h"

#include "ScopedCurrentDir.h"
#include "TestFiles.h"

#include <QtTest>

using namespace tintaro;

namespace {

const ColorSetRecord::Colors kSaved{0xCCFF80, kWhite, 0x0000FF, 0x00FF00, 0xFF0000, 0x123456};
const QByteArray kSavedBytes("CCFF80FFFFFF0000FF00FF00FF0000123456");

// Sets first.. named s<i>, with colours i * 16 + 0..5: as "set.dat" lines and
// "colorset.dat" records.
QByteArray names(int first, int count)
{
    QByteArray out;
    for (int i = first; i < first + count; ++i)
        out += "\"s" + QByteArray::number(i) + "\"\r\n";
    return out;
}

QByteArray colours(int first, int count)
{
    QByteArray out;
    for (int i = first; i < first + count; ++i)
        out += TestFiles::records(6, i * 16);
    return out;
}

// Writes a file, or removes it for a null content.
void put(const QString& name, const QByteArray& content)
{
    QFile::remove(name);
    QVERIFY(content.isNull() || TestFiles::write(name, content));
}

} // namespace

class TestColorSetStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Every line of "set.dat" gives one name, in step with the records.
    void setNames_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: no file
        QTest::addColumn<QStringList>("names");
        QTest::newRow("empty file") << QByteArray("") << QStringList();
        QTest::newRow("CR LF, bare LF, no last line end")
            << QByteArray("\"Ocean\"\r\n\"Forest\"\n\"Sky\"")
            << QStringList{"Ocean", "Forest", "Sky"};
        QTest::newRow("short and empty lines keep their places")
            << QByteArray("\"\"\r\nx\r\n\r\n\"c\"\r\n") << QStringList{"", "", "", "c"};
        QTest::newRow("quotes and blanks kept; an unquoted line loses its ends")
            << QByteArray("\" say \"hi\" \"\r\nscheme1\r\n")
            << QStringList{" say \"hi\" ", "cheme"};
        QTest::newRow("the locale's encoding")
            << QByteArray("\"Caf\xc3\xa9\"\r\n") << QStringList{"Caf\u00e9"};
        QTest::newRow("missing file") << QByteArray() << QStringList();
    }

    void setNames()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, names);
        const ScopedCurrentDir dir;
        put("set.dat", content);
        const SetNameFile::LoadResult result = SetNameFile::load("set.dat");
        QCOMPARE(result.ok, !content.isNull());
        QCOMPARE(result.names, names);
        QCOMPARE(result.error.contains("\"set.dat\""), content.isNull());
    }

    // Saving a set (with the colours kSaved) or deleting one, byte for byte.
    void change_data()
    {
        QTest::addColumn<QString>("operation"); // "save <name>" or "delete <position>"
        QTest::addColumn<QByteArray>("names");  // "set.dat"; null: no file
        QTest::addColumn<QByteArray>("colours");
        QTest::addColumn<QByteArray>("namesAfter"); // null: refused, both files as they were
        QTest::addColumn<QByteArray>("coloursAfter");

        const QByteArray three = names(1, 3);
        const QByteArray a = "\"a\"\r\n\"b\"";
        QTest::newRow("save: record 4 at byte 108, a name already there")
            << "save s2" << three << colours(1, 3) << three + "\"s2\"\r\n"
            << colours(1, 3) + kSavedBytes;
        QTest::newRow("save: no files yet")
            << "save s1" << QByteArray() << QByteArray() << names(1, 1) << kSavedBytes;
        QTest::newRow("save: no colour file, earlier records blank")
            << "save s3" << names(1, 2) << QByteArray() << three
            << QByteArray(72, ' ') + kSavedBytes;
        QTest::newRow("save: no last line end, a record past the names overwritten")
            << "save c" << a << colours(1, 3) << a + "\r\n\"c\"\r\n"
            << colours(1, 2) + kSavedBytes;
        QTest::newRow("save: a last line end of a bare CR completed")
            << "save c" << a + "\r" << colours(1, 2) << a + "\r\n\"c\"\r\n"
            << colours(1, 2) + kSavedBytes;
        QTest::newRow("save: a line break, refused")
            << "save two\nlines" << three << colours(1, 3) << QByteArray() << QByteArray();
        QTest::newRow("delete the last; records past the names dropped")
            << "delete 2" << three << colours(1, 5) << names(1, 2) << colours(1, 2);
        QTest::newRow("delete; a partial record keeps its place, missing ones stay missing")
            << "delete 0" << names(1, 4) << colours(1, 1) + "0A0B0C0D0E" << names(2, 3)
            << QByteArray("0A0B0C0D0E");
        QTest::newRow("delete; no last line end, bare LF")
            << "delete 1" << QByteArray("\"a\"\n\"b\"\r\n\"c\"") << colours(1, 3)
            << QByteArray("\"a\"\r\n\"c\"\r\n") << colours(1, 1) + colours(3, 1);
        QTest::newRow("delete past the last: refused")
            << "delete 3" << three << colours(1, 3) << QByteArray() << QByteArray();
    }

    void change()
    {
        QFETCH(QString, operation);
        QFETCH(QByteArray, names);
        QFETCH(QByteArray, colours);
        QFETCH(QByteArray, namesAfter);
        QFETCH(QByteArray, coloursAfter);
        const ScopedCurrentDir dir;
        put("set.dat", names);
        put("colorset.dat", colours);
        const QString name = operation.section(' ', 1);
        const ColorSetStore::Result result =
            operation.startsWith("save")
                ? ColorSetStore().save(name, ColorSetRecord::fromColors(kSaved))
                : ColorSetStore().remove(name.toInt());
        const bool ok = !namesAfter.isNull();
        QCOMPARE(result.ok, ok);
        QCOMPARE(result.error.isEmpty(), ok);
        QCOMPARE(TestFiles::read("set.dat"), ok ? namesAfter : names);
        QCOMPARE(TestFiles::read("colorset.dat"), ok ? coloursAfter : colours);
        QVERIFY(!QFile::exists("set.tmp") && !QFile::exists("colorset.tmp"));
        if (ok && operation.startsWith("save"))
            QCOMPARE(result.name, name);
    }
};

QTEST_APPLESS_MAIN(TestColorSetStore)
#include "tst_colorsetstore.moc"
