#include "DesktopLayout.h"
#include "LoupeGeometry.h"

#include <QtTest>

using namespace tintaro;

namespace {

// "x,y,w,h@ratio;..." in logical pixels.
DesktopLayout layoutOf(const QString& text)
{
    std::vector<DesktopLayout::Screen> screens;
    for (const QString& screen : text.split(';')) {
        const QStringList n = screen.split(QRegularExpression("[,@]"));
        const QRect logical(n[0].toInt(), n[1].toInt(), n[2].toInt(), n[3].toInt());
        const qreal ratio = n[4].toDouble();
        screens.push_back(
            {logical, ratio, QPoint(qRound(logical.x() * ratio), qRound(logical.y() * ratio))});
    }
    return DesktopLayout(std::move(screens));
}

} // namespace

class TestDesktopLayout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyPhysicalPixelIsReachable_data()
    {
        QTest::addColumn<QString>("screens");
        QTest::addColumn<QSize>("imageSize");
        QTest::newRow("ratio 1, a screen left of the primary")
            << "0,0,64,48@1;-40,0,40,48@1" << QSize(104, 48);
        QTest::newRow("ratio 1.25") << "0,0,64,48@1.25" << QSize(80, 60);
        QTest::newRow("ratio 1.5, a screen above")
            << "0,0,64,48@1.5;0,-32,64,32@1.5" << QSize(96, 120);
        QTest::newRow("ratio 2, a screen left and above")
            << "0,0,32,32@2;-32,-16,32,16@2" << QSize(128, 96);
    }

    // A pointer on a physical pixel is reported at that pixel divided by the
    // ratio; it must come back to the very same pixel of the image, and the
    // way back (the keys move the pointer by pixels) must too.
    void everyPhysicalPixelIsReachable()
    {
        QFETCH(QString, screens);
        QFETCH(QSize, imageSize);
        const DesktopLayout layout = layoutOf(screens);
        QCOMPARE(layout.physicalBounds().size(), imageSize);
        const QPoint origin = layout.physicalBounds().topLeft();
        for (const DesktopLayout::Screen& s : layout.screens()) {
            for (int y = 0; y < qRound(s.logical.height() * s.ratio); ++y) {
                for (int x = 0; x < qRound(s.logical.width() * s.ratio); ++x) {
                    const QPointF reported(s.logical.x() + x / s.ratio,
                                           s.logical.y() + y / s.ratio);
                    const QPoint expected = s.physicalTopLeft + QPoint(x, y) - origin;
                    QCOMPARE(layout.imagePixel(reported), std::optional(expected));
                    QCOMPARE(layout.imagePixel(layout.logicalPoint(expected)),
                             std::optional(expected));
                }
            }
        }
    }

    // Where Qt scales windows itself (X11), each screen keeps its physical
    // corner as its logical one: the screens lie side by side as the window
    // system has them, with no hole between them (the screens the run is
    // given are two of unequal ratio, or one).
    void keptCornersTileTheDesktop()
    {
        const DesktopLayout kept = DesktopLayout::current(DesktopLayout::Corners::Kept);
        QVERIFY(!kept.screens().empty());
        const QRect bounds(QPoint(), kept.physicalBounds().size());
        int area = 0;
        for (const DesktopLayout::Screen& s : kept.screens()) {
            QCOMPARE(s.physicalTopLeft, s.logical.topLeft());
            area += kept.imageArea(s).width() * kept.imageArea(s).height();
        }
        QCOMPARE(area, bounds.width() * bounds.height());
        for (QPoint p : {bounds.topLeft(), bounds.bottomRight(), bounds.center()})
            QVERIFY(kept.holdsPixel(p));
        QVERIFY(!kept.holdsPixel(bounds.bottomRight() + QPoint(1, 0)));
    }

    // The loupe beside the hot spot: on the screen, off the hot spot and off
    // what it must not cover, at full size where a side has room, smaller
    // where none has, and nowhere on a screen too small for any.
    void loupePlace_data()
    {
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<QPoint>("hot");
        QTest::addColumn<QRect>("avoid");  // besides the hot spot
        QTest::addColumn<QString>("side"); // where it goes, from the hot spot
        QTest::addColumn<int>("width");    // 0: no loupe
        const int full = LoupeGeometry::kSide;
        const QRect hd(0, 0, 1920, 1080);
        QTest::newRow("room everywhere")
            << hd << QPoint(500, 500) << QRect() << "below right" << full;
        QTest::newRow("right edge") << hd << QPoint(1910, 500) << QRect() << "below left" << full;
        QTest::newRow("bottom right corner")
            << hd << QPoint(1919, 1079) << QRect() << "above left" << full;
        QTest::newRow("bottom left corner")
            << hd << QPoint(0, 1079) << QRect() << "above right" << full;
        QTest::newRow("top left corner") << hd << QPoint(0, 0) << QRect() << "below right" << full;
        QTest::newRow("a readout below right")
            << hd << QPoint(500, 500) << QRect(516, 516, 100, 40) << "below left" << full;
        QTest::newRow("a readout below right, the left edge near")
            << hd << QPoint(30, 500) << QRect(46, 516, 100, 40) << "above right" << full;
        QTest::newRow("a screen of another place")
            << QRect(1920, -300, 800, 600) << QPoint(2700, 290) << QRect() << "above left" << full;
        QTest::newRow("too small for full size: the roomiest side")
            << QRect(0, 0, 300, 200) << QPoint(150, 60) << QRect() << "below right" << 84;
        QTest::newRow("too small for any")
            << QRect(0, 0, 60, 60) << QPoint(30, 30) << QRect() << "" << 0;
    }
    void loupePlace()
    {
        QFETCH(QRect, screen);
        QFETCH(QPoint, hot);
        QFETCH(QRect, avoid);
        QFETCH(QString, side);
        QFETCH(int, width);
        const std::vector<QRect> others =
            avoid.isNull() ? std::vector<QRect>{} : std::vector<QRect>{avoid};
        const std::optional<QRect> at = LoupeGeometry::place(hot, screen, others);
        QCOMPARE(at ? at->width() : 0, width);
        if (!at)
            return;
        QCOMPARE(at->height(), at->width() + LoupeGeometry::kTextHeight);
        QVERIFY(screen.contains(*at) && !at->intersects(avoid));
        const QRect near(hot - QPoint(8, 8), QSize(17, 17)); // the hot spot and what is near it
        QVERIFY(!at->intersects(near));
        const QString where = QString(at->top() > hot.y() ? "below" : "above") + ' ' +
                              (at->left() > hot.x() ? "right" : "left");
        QCOMPARE(where, side);
    }

    void zoomSteps()
    {
        QList<int> up{LoupeGeometry::kMinZoom}, down{LoupeGeometry::kMaxZoom};
        for (int i = 0; i < 9; ++i) {
            up << LoupeGeometry::zoomIn(up.last());
            down << LoupeGeometry::zoomOut(down.last());
        }
        QCOMPARE(up, (QList<int>{2, 3, 4, 6, 8, 12, 16, 24, 32, 32}));
        QCOMPARE(down, (QList<int>{32, 24, 16, 12, 8, 6, 4, 3, 2, 2}));
        // Odd, so that one pixel is the middle, and never wider than the square.
        QCOMPARE(LoupeGeometry::pixelsAcross(166, 8), 19);
        QCOMPARE(LoupeGeometry::pixelsAcross(160, 8), 19);
        QCOMPARE(LoupeGeometry::pixelsAcross(20, 32), 1);
    }
};

QTEST_MAIN(TestDesktopLayout)
#include "tst_desktoplayout.moc"
