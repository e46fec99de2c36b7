#include "DesktopLayout.h"
#include "FakeScreenGrabber.h"

#include <QtTest>

using namespace tintaro;

namespace {

// "x,y,w,h@ratio;..." in logical pixels.
DesktopLayout layoutOf(const QString& text)
{
    std::vector<DesktopLayout::Screen> screens;
    for (const QString& part : text.split(QLatin1Char(';'))) {
        const QStringList geometryAndRatio = part.split(QLatin1Char('@'));
        const QStringList n = geometryAndRatio[0].split(QLatin1Char(','));
        const qreal ratio = geometryAndRatio[1].toDouble();
        const QRect logical(n[0].toInt(), n[1].toInt(), n[2].toInt(), n[3].toInt());
        screens.push_back({logical, ratio,
                           QPoint(qRound(logical.x() * ratio), qRound(logical.y() * ratio))});
    }
    return DesktopLayout(std::move(screens));
}

} // namespace

class TestDesktopLayout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyPhysicalPixelIsReachable_data();
    void everyPhysicalPixelIsReachable();
    void rounding_data();
    void rounding();
};

void TestDesktopLayout::everyPhysicalPixelIsReachable_data()
{
    QTest::addColumn<QString>("screens");
    QTest::addColumn<QSize>("imageSize");
    QTest::addColumn<int>("screenPixels"); // less where screens leave gaps

    QTest::newRow("ratio 1") << "0,0,64,48@1" << QSize(64, 48) << 64 * 48;
    QTest::newRow("ratio 1.25") << "0,0,64,48@1.25" << QSize(80, 60) << 80 * 60;
    QTest::newRow("ratio 1.5") << "0,0,64,48@1.5" << QSize(96, 72) << 96 * 72;
    QTest::newRow("ratio 2") << "0,0,64,48@2" << QSize(128, 96) << 128 * 96;
    QTest::newRow("second screen left of the primary")
        << "0,0,64,48@1;-40,0,40,48@1" << QSize(104, 48) << 104 * 48;
    QTest::newRow("second screen above, ratio 1.5")
        << "0,0,64,48@1.5;0,-32,64,32@1.5" << QSize(96, 120) << 96 * 120;
    QTest::newRow("second screen left and above, ratio 2")
        << "0,0,32,32@2;-32,-16,32,16@2" << QSize(128, 96) << 64 * 64 + 64 * 32;
}

// A pointer on a physical pixel is reported at that pixel divided by the
// ratio; it must come back to the very same pixel of the image.
void TestDesktopLayout::everyPhysicalPixelIsReachable()
{
    QFETCH(QString, screens);
    QFETCH(QSize, imageSize);
    QFETCH(int, screenPixels);

    const DesktopLayout layout = layoutOf(screens);
    QCOMPARE(layout.physicalBounds().size(), imageSize);
    const QImage image = FakeScreenGrabber::coordinateImage(imageSize);
    const QPoint origin = layout.physicalBounds().topLeft();
    int checked = 0;
    for (const DesktopLayout::Screen& s : layout.screens()) {
        const QSize native(qRound(s.logical.width() * s.ratio), qRound(s.logical.height() * s.ratio));
        for (int y = 0; y < native.height(); ++y) {
            for (int x = 0; x < native.width(); ++x) {
                const QPointF reported(s.logical.x() + x / s.ratio, s.logical.y() + y / s.ratio);
                const std::optional<QPoint> pixel = layout.imagePixel(reported);
                const QPoint expected = s.physicalTopLeft + QPoint(x, y) - origin;
                QVERIFY2(pixel && *pixel == expected,
                         qPrintable(QStringLiteral("pointer at %1,%2").arg(reported.x()).arg(reported.y())));
                QCOMPARE(FakeScreenGrabber::decode(image.pixel(*pixel)), expected);
                // And the way back, used when the keys move the pointer.
                QCOMPARE(layout.imagePixel(layout.logicalPoint(expected)), std::optional<QPoint>(expected));
                ++checked;
            }
        }
    }
    QCOMPARE(checked, screenPixels);
}

void TestDesktopLayout::rounding_data()
{
    QTest::addColumn<QString>("screens");
    QTest::addColumn<QPointF>("pointer");
    QTest::addColumn<QPoint>("pixel"); // (-1, -1): none

    QTest::newRow("whole") << "0,0,64,48@1" << QPointF(10, 20) << QPoint(10, 20);
    QTest::newRow("below a half") << "0,0,64,48@1" << QPointF(10.4, 20.6) << QPoint(10, 21);
    QTest::newRow("half to even, down") << "0,0,64,48@1" << QPointF(10.5, 20.5) << QPoint(10, 20);
    QTest::newRow("half to even, up") << "0,0,64,48@1" << QPointF(11.5, 21.5) << QPoint(12, 22);
    QTest::newRow("ratio 1.5") << "0,0,64,48@1.5" << QPointF(10, 20) << QPoint(15, 30);
    QTest::newRow("left of the primary") << "0,0,64,48@1;-40,0,40,48@1" << QPointF(-1, 0)
                                         << QPoint(39, 0);
    QTest::newRow("outside every screen") << "0,0,64,48@1" << QPointF(64, 10) << QPoint(-1, -1);
    QTest::newRow("above the desktop") << "0,0,64,48@1" << QPointF(5, -0.5) << QPoint(-1, -1);
}

void TestDesktopLayout::rounding()
{
    QFETCH(QString, screens);
    QFETCH(QPointF, pointer);
    QFETCH(QPoint, pixel);

    const std::optional<QPoint> found = layoutOf(screens).imagePixel(pointer);
    if (pixel == QPoint(-1, -1))
        QVERIFY(!found);
    else
        QCOMPARE(found, std::optional<QPoint>(pixel));
}

QTEST_APPLESS_MAIN(TestDesktopLayout)
#include "tst_desktoplayout.moc"
