#include "DesktopLayout.h"

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
};

QTEST_MAIN(TestDesktopLayout)
#include "tst_desktoplayout.moc"
