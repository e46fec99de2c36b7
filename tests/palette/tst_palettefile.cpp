#include "PaletteFile.h"
#include "PaletteGrid.h"
#include "PaletteState.h"

#include "ScopedCurrentDir.h"
#include "TestFiles.h"

#include <QtTest>

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
    // Sparse files: a count that read the file instead of measuring it would not finish.
    void count_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<int>("records");
        QTest::newRow("empty") << qint64(0) << 0;
        QTest::newRow("6N+3") << qint64(6003) << 1000;
        QTest::newRow("60 MB") << qint64(60 << 20) << 10485760;
        QTest::newRow("beyond the largest count") << 6 * qint64(INT_MAX) + 6 << INT_MAX;
    }

    void count()
    {
        QFETCH(qint64, size);
        QFETCH(int, records);
        const ScopedCurrentDir dir;
        QVERIFY(TestFiles::write(kFile, ""));
        if (!QFile::resize(kFile, size))
            QSKIP("This file system cannot hold a file that large");
        PaletteFile palette;
        QVERIFY(palette.open(kFile, PaletteFile::Access::ReadOnly));
        QCOMPARE(palette.countRecords(), records);
        palette.close();
        QCOMPARE(palette.countRecords(), 0);
    }

    // Opening the user's file or the web-safe one, then appending a pick.
    void protectedFiles_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: no file
        QTest::addColumn<QString>("access");   // "user", "web-safe", or a read-only "file"/"folder"
        QTest::addColumn<QByteArray>("after"); // null: not opened; the content: the pick refused
        const QByteArray one("0A0B0C");
        QTest::newRow("user file missing: made") << QByteArray() << "user" << QByteArray("FF8000");
        QTest::newRow("web-safe file missing") << QByteArray() << "web-safe" << QByteArray();
        QTest::newRow("partial record replaced") << one + "A"
                                                 << "user" << one + "FF8000";
        QTest::newRow("web-safe file") << one << "web-safe" << one;
        QTest::newRow("read-only file: shown") << one << "file" << one;
        QTest::newRow("read-only folder, no file") << QByteArray() << "folder" << QByteArray();
        QTest::newRow("read-only folder") << one << "folder" << one + "FF8000";
    }

    void protectedFiles()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, access);
        QFETCH(QByteArray, after);
        const bool readOnly = access == "file" || access == "folder";
        if (readOnly && TestFiles::ignoresPermissions())
            QSKIP("Permissions do not bind this user; see the _unprivileged run");
        const ScopedCurrentDir dir;
        QVERIFY(content.isNull() || TestFiles::write(kFile, content));
        QVERIFY(!readOnly || TestFiles::setReadOnly(access == "file" ? kFile : dir.path(), true));
        PaletteFile palette;
        const auto mode =
            access == "web-safe" ? PaletteFile::Access::ReadOnly : PaletteFile::Access::ReadWrite;
        QCOMPARE(palette.open(kFile, mode), !after.isNull());
        QCOMPARE(QFile::exists(kFile), !after.isNull());
        if (after.isNull())
            return;
        QCOMPARE(TestFiles::read(kFile), content.isNull() ? "" : content);
        const bool picks = after != content;
        QCOMPARE(palette.isWritable(), picks);
        QCOMPARE(palette.write(palette.countRecords() + 1, ColorRecord::fromColor(0x0080FF)),
                 picks);
        QCOMPARE(TestFiles::read(kFile), after); // seen while the file is still open
        QCOMPARE(palette.countRecords(), int(after.size() / 6));
        QCOMPARE(bytesOf(palette.read(1)), after.left(6));
    }

    // Records first..last of a file with records in either letter case, one
    // not hexadecimal and a partial one at the end; each also read alone.
    void readRange_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        const QByteArray file("0A0B0Cff8000NOTHEXFF8000F");
        QTest::newRow("whole file") << file << 1 << 4;
        QTest::newRow("starting below 1") << file << -2 << 2;
        QTest::newRow("crossing the end") << file << 3 << 6;
        QTest::newRow("wholly past the end") << file << 5 << 9;
        QTest::newRow("empty file") << QByteArray("") << 1 << 144;
    }

    void readRange()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, first);
        QFETCH(int, last);
        const ScopedCurrentDir dir;
        QVERIFY(TestFiles::write(kFile, content));
        PaletteFile palette;
        QVERIFY(palette.open(kFile, PaletteFile::Access::ReadOnly));
        // Entries left from an earlier page must not survive.
        std::vector<std::optional<ColorRecord>> out(last - first + 1,
                                                    ColorRecord::fromBytes("STALE!"));
        palette.readRange(first, last, out.data());
        for (int n = first; n <= last; ++n) {
            const QByteArray expected =
                n >= 1 && n * 6 <= content.size() ? content.mid(n * 6 - 6, 6) : "";
            QCOMPARE(bytesOf(out[n - first]), expected);
            QCOMPARE(bytesOf(palette.read(n)), expected);
        }
    }

    // A page shown after a full one: cells first..last show records top - cell,
    // white where not hexadecimal; the others are empty.
    void fill_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: no file
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        using TestFiles::records;
        QTest::newRow("150 colours, newest page") << records(150) << 150 << 0 << 143;
        QTest::newRow("150 colours, one column on") << records(150) << 142 << 0 << 141;
        QTest::newRow("145 colours, top 137") << records(145) << 137 << 0 << 136;
        QTest::newRow("short web-safe file") << records(200, 0x3300) << 216 << 16 << 143;
        QTest::newRow("damaged record") << QByteArray("0a0b0cNOTHEX112233") << 3 << 0 << 2;
        QTest::newRow("missing file") << QByteArray() << 144 << 0 << -1;
    }

    void fill()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, top);
        QFETCH(int, first);
        QFETCH(int, last);
        const ScopedCurrentDir dir;
        QVERIFY(TestFiles::write("full.rgb", TestFiles::records(300, 0x10)));
        QVERIFY(content.isNull() || TestFiles::write(kFile, content));
        PaletteFile full;
        PaletteFile file;
        QVERIFY(full.open("full.rgb", PaletteFile::Access::ReadOnly));
        QCOMPARE(file.open(kFile, PaletteFile::Access::ReadOnly), !content.isNull());
        PaletteGrid grid;
        grid.fill(full, 300);
        grid.fill(file, top);
        for (int cell = 0; cell < PaletteGrid::kCells; ++cell) {
            const bool shown = cell >= first && cell <= last;
            bool hex = false;
            const int rgb = content.mid((top - cell - 1) * 6, 6).toInt(&hex, 16);
            QCOMPARE(grid.cellRecord(cell), shown ? top - cell : 0);
            QCOMPARE(grid.color(cell), shown && hex ? makeColor(rgb >> 16, rgb >> 8, rgb) : kWhite);
        }
    }

    // From a number of user colours, a script: n = ">", p = "<", w and u show
    // the web-safe and the user palette, k picks, d deletes, c<N> cleans
    // keeping N. After it: colours, page top, and the buttons enabled.
    void paging_data()
    {
        QTest::addColumn<int>("colours");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("after");
        QTest::newRow("one colour") << 1 << ""
                                    << "1 1";
        QTest::newRow("two colours") << 2 << ""
                                     << "2 2 clean";
        QTest::newRow("exactly one page") << 144 << ""
                                          << "144 144 clean";
        QTest::newRow("145: older page") << 145 << "n"
                                         << "145 137 < clean";
        QTest::newRow("150: and back") << 150 << "np"
                                       << "150 150 > clean";
        QTest::newRow("153: back after a delete re-enables >") << 153 << "nndp"
                                                               << "152 144 > < clean";
        QTest::newRow("web-safe nine pages on") << 10 << "wnnnnnnnnn"
                                                << "10 144 < clean";
        QTest::newRow("web-safe back to the top") << 10 << "wnp"
                                                  << "10 216 > clean";
        QTest::newRow("user page kept across a switch") << 300 << "nnwu"
                                                        << "300 284 > < clean";
        QTest::newRow("web-safe page kept across a switch") << 300 << "wnnuw"
                                                            << "300 200 > < clean";
        QTest::newRow("user buttons kept across a switch") << 150 << "nwnu"
                                                           << "150 142 < clean";
        QTest::newRow("pick on an older page moves the top") << 300 << "nk"
                                                             << "301 293 > < clean";
        QTest::newRow("pick makes a second page") << 144 << "k"
                                                  << "145 145 > clean";
        QTest::newRow("first pick leaves cleaning off") << 0 << "k"
                                                        << "1 1";
        QTest::newRow("delete leaves cleaning as it was") << 5 << "d"
                                                          << "4 4 clean";
        QTest::newRow("delete back to one page") << 145 << "d"
                                                 << "144 144 clean";
        QTest::newRow("clean goes to the newest page") << 300 << "nnc200"
                                                       << "200 200 >";
        QTest::newRow("clean to one page") << 300 << "c3"
                                           << "3 3";
        QTest::newRow("pick after cleaning") << 300 << "c3k"
                                             << "4 4 clean";
    }

    void paging()
    {
        QFETCH(int, colours);
        QFETCH(QString, script);
        QFETCH(QString, after);
        const QHash<QString, void (PaletteState::*)()> steps{
            {"n", &PaletteState::next},        {"p", &PaletteState::previous},
            {"w", &PaletteState::showWebSafe}, {"u", &PaletteState::showUser},
            {"k", &PaletteState::picked},      {"d", &PaletteState::deleted}};
        PaletteState s;
        s.startUp(colours);
        for (const QRegularExpressionMatch& m : QRegularExpression("c\\d+|.").globalMatch(script)) {
            const QString step = m.captured();
            QVERIFY2((step != "n" || s.nextEnabled) && (step != "p" || s.prevEnabled),
                     "pressed while off");
            if (step[0] == 'c')
                s.cleaned(step.mid(1).toInt());
            else
                (s.*steps[step])();
            // The page tops never leave their palettes.
            QVERIFY(s.UserPagePos >= 0 && s.UserColorCount >= s.UserPagePos);
            QVERIFY((s.UserColorCount - s.UserPagePos) % 8 == 0 &&
                    (216 - s.WebSafePagePos) % 8 == 0);
            QVERIFY(s.WebSafePagePos >= 144 && s.WebSafePagePos <= 216);
        }
        QCOMPARE(QString::number(s.UserColorCount) + ' ' + QString::number(s.pageTop()) +
                     (s.nextEnabled ? " >" : "") + (s.prevEnabled ? " <" : "") +
                     (s.cleanEnabled ? " clean" : ""),
                 after);
    }
};

QTEST_APPLESS_MAIN(TestPaletteFile)
#include "tst_palettefile.moc"
