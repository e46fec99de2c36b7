#include "CodeTexts.h"
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

    void unreadableFile()
    {
        if (TestFiles::ignoresPermissions())
            QSKIP("Permissions do not bind this user; see the _unprivileged run");
        const ScopedCurrentDir dir;
        put("set.dat", "\"Ocean\"\r\n");
        QVERIFY(QFile::setPermissions("set.dat", QFile::WriteOwner));
        const SetNameFile::LoadResult result = SetNameFile::load("set.dat");
        QVERIFY(!result.ok && result.names.isEmpty() && result.error.contains("\"set.dat\""));
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
        const QString name = QString::fromUtf8(" say \"hi\" Caf\xc3\xa9 \xe8\x89\xb2").repeated(20);
        QTest::newRow("save: record 4 at byte 108, a name already there")
            << "save s2" << three << colours(1, 3) << three + "\"s2\"\r\n"
            << colours(1, 3) + kSavedBytes;
        QTest::newRow(
            "save: quotes and blanks as they are, 320 characters in the locale's encoding")
            << "save " + name << three << colours(1, 3) << three + '"' + name.toUtf8() + "\"\r\n"
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
        QTest::newRow("delete the middle of five")
            << "delete 2" << names(1, 5) << colours(1, 5) << names(1, 2) + names(4, 2)
            << colours(1, 2) + colours(4, 2);
        QTest::newRow("delete the last; records past the names dropped")
            << "delete 2" << three << colours(1, 5) << names(1, 2) << colours(1, 2);
        QTest::newRow("delete; a partial record keeps its place, missing ones stay missing")
            << "delete 0" << names(1, 4) << colours(1, 1) + "0A0B0C0D0E" << names(2, 3)
            << QByteArray("0A0B0C0D0E");
        QTest::newRow("delete; no last line end, bare LF")
            << "delete 1" << QByteArray("\"a\"\n\"b\"\r\n\"c\"") << colours(1, 3)
            << QByteArray("\"a\"\r\n\"c\"\r\n") << colours(1, 1) + colours(3, 1);
        QTest::newRow("delete at -1: refused")
            << "delete -1" << three << colours(1, 3) << QByteArray() << QByteArray();
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

    // A record as read (blanks for missing bytes) and its fields as "RRGGBB",
    // or "-" where a field gives no colour and the set leaves that colour.
    void read_data()
    {
        QTest::addColumn<QByteArray>("colours"); // "colorset.dat"; null: none
        QTest::addColumn<int>("position");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("fields");

        const QByteArray blank(36, ' ');
        const QString saved = "80FFCC FFFFFF FF0000 00FF00 0000FF 563412";
        QByteArray damaged = kSavedBytes.toLower();
        damaged[13] = '\0';
        QTest::newRow("third set") << colours(1, 2) + kSavedBytes << 2 << kSavedBytes << saved;
        QTest::newRow("lower case; a damaged field")
            << colours(1, 1) + damaged << 1 << damaged << "80FFCC FFFFFF - 00FF00 0000FF 563412";
        QTest::newRow("cut short: the whole fields")
            << colours(1, 1) + kSavedBytes.left(15) << 1 << kSavedBytes.left(15) + blank.left(21)
            << "80FFCC FFFFFF - - - -";
        QTest::newRow("a name without its record") << colours(1, 2) << 2 << blank << "- - - - - -";
        QTest::newRow("no colour file") << QByteArray() << 0 << blank << "- - - - - -";
        QTest::newRow("position -1") << kSavedBytes << -1 << blank << "- - - - - -";
    }

    void read()
    {
        QFETCH(QByteArray, colours);
        QFETCH(int, position);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, fields);
        const ScopedCurrentDir dir;
        put("colorset.dat", colours);
        const ColorSetRecord record = ColorSetStore().read(position);
        QCOMPARE(record.bytes(), bytes);
        QStringList got;
        for (int f = 0; f <= ColorSetRecord::kFieldCount; ++f) { // none past the last
            const std::optional<ColorValue> c = record.color(ColorSetRecord::Field(f));
            got << (c ? ColorToHtml(*c).mid(1) : "-");
        }
        QCOMPARE(got.join(' '), fields + " -");
        QVERIFY(ColorSetRecord::fromBytes(bytes + "ABCDEF") == record); // 36 bytes, no more
    }

    // Refused before anything is written: a message naming the folder (and
    // the file in the way), the files as they were, and the sets as they read.
    void refused_data()
    {
        QTest::addColumn<QString>(
            "setup"); // operation, what is read-only ("." the folder), leftovers
        QTest::newRow("save, read-only folder") << "save .";
        QTest::newRow("save, read-only set.dat") << "save set.dat";
        QTest::newRow("delete, read-only set.dat") << "delete set.dat";
        QTest::newRow("delete, read-only colorset.dat") << "delete colorset.dat";
        QTest::newRow("delete, read-only folder, uncommitted deletion left")
            << "delete . set.tmp colorset.tmp";
        QTest::newRow("delete, read-only folder, committed deletion left")
            << "delete . colorset.tmp";
    }

    void refused()
    {
        QFETCH(QString, setup);
        const QString readOnly = setup.section(' ', 1, 1);
        const QStringList left = setup.section(' ', 2).split(' ', Qt::SkipEmptyParts);
        const QString named = !left.isEmpty() ? "colorset.tmp" : readOnly == "." ? "" : readOnly;
        if (TestFiles::ignoresPermissions())
            QSKIP("Permissions do not bind this user; see the _unprivileged run");
        const ScopedCurrentDir dir;
        const bool committed = left == QStringList{"colorset.tmp"};
        put("set.dat", committed ? names(1, 1) + names(3, 2) : names(1, 4));
        put("colorset.dat", colours(1, 4));
        for (const QString& file : left)
            put(file,
                file == "set.tmp" ? names(1, 1) + names(3, 2) : colours(1, 1) + colours(3, 2));
        const auto files = [] {
            QByteArrayList contents;
            for (const QString& name : QDir().entryList(QDir::Files))
                contents << name.toLatin1() << TestFiles::read(name);
            return contents;
        };
        const QByteArrayList before = files();
        QVERIFY(TestFiles::setReadOnly(readOnly, true));
        const ColorSetStore::Result result =
            setup.startsWith("delete")
                ? ColorSetStore().remove(2)
                : ColorSetStore().save("x", ColorSetRecord::fromColors(kSaved));
        QVERIFY(files() == before);
        TestFiles::setReadOnly(readOnly, false);
        const QString folder = '"' + QDir::toNativeSeparators(QDir::currentPath()) + '"';
        QVERIFY2(!result.ok && result.error.contains(folder) && result.error.contains('"' + named),
                 qPrintable(result.error));
        const ColorSetStore store;
        QCOMPARE(store.read(1).bytes() + store.read(2).bytes(),
                 committed ? colours(3, 2) : colours(2, 2));
    }

    // The code of the initial scheme, black on white, and with one colour made
    // 128,255,204 (#80FFCC): it shows in the one place the row names.
    void codeTexts_data()
    {
        QTest::addColumn<int>("field");       // -1: none changed
        QTest::addColumn<QString>("inBody");  // where the body tag shows it; empty: nowhere
        QTest::addColumn<QString>("inSheet"); // where the style sheet does
        QTest::newRow("initial scheme") << -1 << ""
                                        << "";
        QTest::newRow("background") << int(ColorSetRecord::Background) << "BGCOLOR=\"#FFFFFF\""
                                    << "background-color:#FFFFFF";
        QTest::newRow("text") << int(ColorSetRecord::Text) << "TEXT=\"#000000\""
                              << "; color:#000000";
        QTest::newRow("link") << int(ColorSetRecord::NormalLink) << " LINK=\"#000000\""
                              << "a:link {color:#000000";
        QTest::newRow("visited") << int(ColorSetRecord::VisitedLink) << "VLINK=\"#000000\""
                                 << "a:visited {color:#000000";
        QTest::newRow("active") << int(ColorSetRecord::ActiveLink) << "ALINK=\"#000000\""
                                << "a:active {color:#000000";
        QTest::newRow("hover: not in the body tag") << int(ColorSetRecord::HoverLink) << ""
                                                    << "a:hover {color:#000000";
    }

    // Lines end in CR LF; the inline style block holds the sheet as its lines 3 to 7.
    void codeTexts()
    {
        QFETCH(int, field);
        QFETCH(QString, inBody);
        QFETCH(QString, inSheet);
        const QString body = "<body BGCOLOR=\"#FFFFFF\" TEXT=\"#000000\" LINK=\"#000000\" "
                             "VLINK=\"#000000\" ALINK=\"#000000\">";
        const QString sheet = "a:link {color:#000000;}\r\na:visited {color:#000000;}\r\n"
                              "a:active {color:#000000;}\r\na:hover {color:#000000;}\r\n"
                              "body {background-color:#FFFFFF; color:#000000;}";
        const auto mint = [](QString text, const QString& part) {
            return part.isEmpty()
                       ? text
                       : text.replace(part, QString(part).replace(
                                                QRegularExpression("000000|FFFFFF"), "80FFCC"));
        };
        ColorSetRecord::Colors scheme{kBlack, kWhite, kBlack, kBlack, kBlack, kBlack};
        if (field >= 0)
            scheme[std::size_t(field)] = makeColor(128, 255, 204);
        QCOMPARE(CodeTexts::bodyTag(scheme), mint(body, inBody));
        const QString external = CodeTexts::externalCss(scheme);
        QCOMPARE(external, mint(sheet, inSheet));
        QCOMPARE(CodeTexts::inlineCss(external),
                 "<style type=\"text/css\">\r\n<!--\r\n" + external + "\r\n-->\r\n</style>");
    }
};

QTEST_APPLESS_MAIN(TestColorSetStore)
#include "tst_colorsetstore.moc"
