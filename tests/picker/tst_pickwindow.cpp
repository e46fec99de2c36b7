#include "FakeScreenGrabber.h"
#include "PickWindow.h"

#include <QPalette>
#include <QtTest>

#include <cmath>

using namespace tintaro;

namespace {

QPoint decoded(ColorValue c)
{
    return FakeScreenGrabber::decode(qRgb(GetRed(c), GetGreen(c), GetBlue(c)));
}

// A picking window over a coordinate image (or none) of the whole desktop.
struct Session
{
    Session() : grabber(FakeScreenGrabber::coordinateShot())
    {
        PickWindow::LoadSteps steps;
        steps.grabber = &grabber;
        steps.delaySeconds = 0;
        loaded = window.Form_Load(steps);
        window.showOverDesktop();
        exposed = QTest::qWaitForWindowExposed(&window);
    }

    // The colour read with the pointer on physical pixel `p`; -2: none.
    ColorValue moveTo(QPoint p)
    {
        QSignalSpy moved(&window, &PickWindow::pointerMoved);
        window.Form_MouseMove(window.layout().logicalPoint(p));
        return moved.isEmpty() ? -2 : moved.constLast().constFirst().value<ColorValue>();
    }

    FakeScreenGrabber grabber;
    PickWindow window;
    bool loaded = false;
    bool exposed = false;
};

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

class TestPickWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { m_physical = DesktopLayout::current().physicalBounds().size(); }

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

    void rounding_data()
    {
        QTest::addColumn<QPointF>("pointer");
        QTest::addColumn<QPoint>("pixel"); // (-1, -1): none

        QTest::newRow("half to even, down") << QPointF(10.5, 20.5) << QPoint(10, 20);
        QTest::newRow("half to even, up") << QPointF(11.5, 21.5) << QPoint(12, 22);
        QTest::newRow("right of every screen") << QPointF(64, 10) << QPoint(-1, -1);
        QTest::newRow("above the desktop") << QPointF(5, -0.5) << QPoint(-1, -1);
    }

    void rounding()
    {
        QFETCH(QPointF, pointer);
        QFETCH(QPoint, pixel);
        QCOMPARE(layoutOf("0,0,64,48@1").imagePixel(pointer).value_or(QPoint(-1, -1)), pixel);
    }

    void realPointerEvents()
    {
        Session s;
        QVERIFY(s.exposed);
        QSignalSpy moved(&s.window, &PickWindow::pointerMoved);
        const qreal ratio = s.window.devicePixelRatio();
        for (const QPoint local : {QPoint(41, 60), QPoint(120, 7)}) {
            QTest::mouseMove(&s.window, local);
            QTRY_VERIFY(!moved.isEmpty());
            // Halves (a pointer between two pixels) go to the even one.
            const QPoint expected(int(std::nearbyint(local.x() * ratio)),
                                  int(std::nearbyint(local.y() * ratio)));
            QCOMPARE(decoded(moved.takeLast().constFirst().value<ColorValue>()), expected);
            moved.clear();
        }
        QSignalSpy picked(&s.window, &PickWindow::picked);
        for (const Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton})
            QTest::mouseClick(&s.window, b, {}, QPoint(120, 7));
        QCOMPARE(picked.count(), 3);
    }

    // The floating sample beside the pointer, cut by the window's edge or
    // not, never hides the pixel read, and is put back exactly where it stood.
    void sample_data()
    {
        QTest::addColumn<QPoint>("pointer");
        QTest::newRow("partly above the top") << QPoint(100, 20);
        QTest::newRow("wholly above the top") << QPoint(100, 4);
        QTest::newRow("past the top right corner") << QPoint(m_physical.width() - 2, 2);
    }

    void sample()
    {
        QFETCH(QPoint, pointer);
        Session s;
        QVERIFY(s.exposed);
        const ColorValue c = s.moveTo(pointer);
        QVERIFY(s.window.sampleVisible());
        QCOMPARE(s.window.sampleColor(), toQColor(c));
        const QPointF at =
            s.window.layout().logicalPoint(pointer) - QPointF(s.window.geometry().topLeft());
        QCOMPARE(s.window.sampleRect(), QRect(qRound(at.x() + 3), qRound(at.y() - 34), 17, 25));
        s.moveTo(pointer + QPoint(-1, 1)); // the sample moves on
        s.moveTo(QPoint(m_physical.width() / 2, m_physical.height() / 2));
        // Onto a pixel the sample covers now: the image is read, not the sample.
        const QPoint covered =
            (QPointF(s.window.sampleRect().center()) * s.window.devicePixelRatio()).toPoint();
        QCOMPARE(decoded(s.moveTo(covered)), covered);
        s.window.hideSample();
        QVERIFY(!s.window.sampleVisible());
        // Every pixel of the image as it was taken (every 7th checked).
        for (int y = 0; y < m_physical.height(); y += 7)
            for (int x = 0; x < m_physical.width(); x += 7)
                QVERIFY(decoded(s.window.GetPixel(QPoint(x, y))) == QPoint(x, y));
    }

    // The pointer on a physical pixel reads that pixel of the image, at any
    // ratio; the keys move it from there, by one (or with Shift ten) pixels.
    void pointerAndKeys_data()
    {
        QTest::addColumn<QPoint>("start");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QPoint>("end");
        QTest::newRow("odd pixel, up") << QPoint(37, 91) << "Up" << QPoint(37, 90);
        QTest::newRow("beyond 256, right") << QPoint(300, 299) << "Right" << QPoint(301, 299);
        QTest::newRow("left") << QPoint(50, 50) << "Left" << QPoint(49, 50);
        QTest::newRow("down") << QPoint(50, 50) << "Down" << QPoint(50, 51);
        QTest::newRow("top left, shift down") << QPoint(0, 0) << "Shift+Down" << QPoint(0, 10);
        QTest::newRow("shift left to the edge") << QPoint(5, 50) << "Shift+Left" << QPoint(0, 50);
        const QPoint corner(m_physical.width() - 1, m_physical.height() - 1);
        QTest::newRow("bottom right, shift right") << corner << "Shift+Right" << corner;
    }

    void pointerAndKeys()
    {
        QFETCH(QPoint, start);
        QFETCH(QString, keys);
        QFETCH(QPoint, end);
        Session s;
        QVERIFY(s.loaded && s.exposed);
        QCOMPARE(s.window.geometry(), DesktopLayout::current().logicalBounds());
        QCOMPARE(decoded(s.moveTo(start)), start);
        QCOMPARE(decoded(s.window.GetPixel(start)), start);
        QCOMPARE(s.window.GetPixel(QPoint(m_physical.width(), 0)), -1);
        QSignalSpy moved(&s.window, &PickWindow::pointerMoved);
        const QKeyCombination key = QKeySequence(keys)[0];
        QVERIFY(s.window.handleKey(key.key(), key.keyboardModifiers()));
        QCOMPARE(moved.count(), 1);
        QCOMPARE(decoded(moved.constLast().constFirst().value<ColorValue>()), end);
        // A second press goes on from there, not from where the pointer was.
        QVERIFY(s.window.handleKey(Qt::Key_Up, Qt::NoModifier));
        QCOMPARE(decoded(moved.constLast().constFirst().value<ColorValue>()), end - QPoint(0, 1));

        QSignalSpy picked(&s.window, &PickWindow::picked);
        QSignalSpy stop(&s.window, &PickWindow::stopRequested);
        for (const int k : {Qt::Key_Return, Qt::Key_Space, Qt::Key_Escape, Qt::Key_A})
            QCOMPARE(s.window.handleKey(k, {}), k != Qt::Key_A);
        QCOMPARE(picked.count(), 2);
        QCOMPARE(stop.count(), 1);
    }

private:
    QSize m_physical;
};

QTEST_MAIN(TestPickWindow)
#include "tst_pickwindow.moc"
