#include "Twips.h"

#include <QtTest>

using namespace tintaro;

class TestTwips : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void toPixels_data();
    void toPixels();
    void neighbouringCellsStayJoined_data();
    void neighbouringCellsStayJoined();
};

void TestTwips::toPixels_data()
{
    QTest::addColumn<int>("twips");
    QTest::addColumn<int>("pixels");
    QTest::newRow("zero") << 0 << 0;
    QTest::newRow("one pixel") << 15 << 1;
    QTest::newRow("below half") << 7 << 0;
    QTest::newRow("above half") << 8 << 1;
    QTest::newRow("negative left") << -75 << -5;
    QTest::newRow("negative, not whole") << -80 << -5;
    QTest::newRow("shrunk width") << 3310 << 221;
    QTest::newRow("shrunk height") << 3225 << 215;
    QTest::newRow("expanded width") << 7290 << 486;
    QTest::newRow("expanded height") << 6075 << 405;
}

void TestTwips::toPixels()
{
    QFETCH(int, twips);
    QFETCH(int, pixels);
    QCOMPARE(Twips::toPixels(twips), pixels);
}

// Swatches overlap by one twip; after conversion neighbours must neither
// leave a gap nor cover more than one pixel of each other.
void TestTwips::neighbouringCellsStayJoined_data()
{
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("origin");
    QTest::newRow("columns") << 299 << 300 << 2016;
    QTest::newRow("rows") << 224 << 225 << 3876;
}

void TestTwips::neighbouringCellsStayJoined()
{
    QFETCH(int, step);
    QFETCH(int, size);
    QFETCH(int, origin);
    for (int i = 0; i < 17; ++i) {
        const QRect a = Twips::rect(origin + i * step, 0, size, 10);
        const QRect b = Twips::rect(origin + (i + 1) * step, 0, size, 10);
        const int overlap = a.right() + 1 - b.left();
        QVERIFY2(overlap >= 0 && overlap <= 1, qPrintable(QStringLiteral("cell %1").arg(i)));
    }
}

QTEST_APPLESS_MAIN(TestTwips)
#include "tst_twips.moc"
