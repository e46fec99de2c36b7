#include "PaletteFile.h"
#include "PaletteGrid.h"

#include "ScopedCurrentDir.h"
#include "TestFiles.h"

#include <QTest>

using namespace tintaro;

class TestPaletteGrid : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fill_data();
    void fill();
    void refillClearsEarlierPage();
};

void TestPaletteGrid::fill_data()
{
    QTest::addColumn<QByteArray>("content"); // null: no file
    QTest::addColumn<int>("top");
    // Cells firstShown..lastShown show records top - cell; all others are
    // empty. lastShown -1: no cell shows a record.
    QTest::addColumn<int>("firstShown");
    QTest::addColumn<int>("lastShown");
    QTest::addColumn<int>("cell0Color");
    QTest::addColumn<int>("damagedCell"); // shows white but keeps its record; -1: none

    QTest::newRow("no colours") << TestFiles::records(0) << 0 << 0 << -1 << 0xFFFFFF << -1;
    QTest::newRow("one colour") << TestFiles::records(1, 0x0A0B0C) << 1 << 0 << 0 << 0x0C0B0A << -1;
    QTest::newRow("150 colours, newest page")
        << TestFiles::records(150) << 150 << 0 << 143 << 0x950000 << -1;
    QTest::newRow("150 colours, one column on")
        << TestFiles::records(150) << 142 << 0 << 141 << 0x8D0000 << -1;
    QTest::newRow("145 colours, top 137")
        << TestFiles::records(145) << 137 << 0 << 136 << 0x880000 << -1;
    // A web-safe file of 200 records shown from 216: the 16 missing ones are empty.
    QTest::newRow("short web-safe file")
        << TestFiles::records(200, 0x3300) << 216 << 16 << 143 << 0xFFFFFF << -1;
    QTest::newRow("partial record on top")
        << QByteArray("0A0B0C112233FF") << 3 << 1 << 2 << 0xFFFFFF << -1;
    QTest::newRow("damaged record")
        << QByteArray("0A0B0CNOTHEX112233") << 3 << 0 << 2 << 0x332211 << 1;
    QTest::newRow("missing file") << QByteArray() << 144 << 0 << -1 << 0xFFFFFF << -1;
    QTest::newRow("negative top") << TestFiles::records(10) << -3 << 0 << -1 << 0xFFFFFF << -1;
}

void TestPaletteGrid::fill()
{
    QFETCH(QByteArray, content);
    QFETCH(int, top);
    QFETCH(int, firstShown);
    QFETCH(int, lastShown);
    QFETCH(int, cell0Color);
    QFETCH(int, damagedCell);

    const ScopedCurrentDir dir;
    const QString name = QStringLiteral("mycolor.rgb");
    if (!content.isNull())
        QVERIFY(TestFiles::write(name, content));
    PaletteFile file;
    QCOMPARE(file.open(name, PaletteFile::Access::ReadOnly), !content.isNull());

    PaletteGrid grid;
    grid.fill(file, top);

    QCOMPARE(grid.color(0), cell0Color);
    for (int cell = 0; cell < PaletteGrid::kCells; ++cell) {
        const bool shown = cell >= firstShown && cell <= lastShown;
        QCOMPARE(grid.cellRecord(cell), shown ? top - cell : 0);
        ColorValue expected = kWhite;
        if (shown && cell != damagedCell) {
            const std::optional<ColorRecord> record = file.read(top - cell);
            QVERIFY(record);
            expected = record->toColor().value_or(-1);
        }
        QCOMPARE(grid.color(cell), expected);
    }
}

void TestPaletteGrid::refillClearsEarlierPage()
{
    const ScopedCurrentDir dir;
    QVERIFY(TestFiles::write(QStringLiteral("mycolor.rgb"), TestFiles::records(300, 0x10)));
    PaletteFile file;
    QVERIFY(file.open(QStringLiteral("mycolor.rgb"), PaletteFile::Access::ReadOnly));
    PaletteGrid grid;
    grid.fill(file, 300);
    grid.fill(file, 2); // the oldest page after most colours were deleted

    QCOMPARE(grid.cellRecord(0), 2);
    QCOMPARE(grid.color(0), 0x110000);
    QCOMPARE(grid.cellRecord(1), 1);
    QCOMPARE(grid.color(1), 0x100000);
    for (int cell = 2; cell < PaletteGrid::kCells; ++cell) {
        QCOMPARE(grid.cellRecord(cell), 0);
        QCOMPARE(grid.color(cell), kWhite);
    }
}

QTEST_APPLESS_MAIN(TestPaletteGrid)
#include "tst_palettegrid.moc"
