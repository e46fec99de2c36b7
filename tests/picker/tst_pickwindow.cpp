#include "FakeScreenGrabber.h"
#include "PickWindow.h"

#include <QPalette>

#include <cmath>
#include <QtTest>

using namespace tintaro;

namespace {

struct Session
{
    explicit Session(std::optional<DesktopShot> shot) : grabber(std::move(shot))
    {
        PickWindow::LoadSteps steps;
        steps.grabber = &grabber;
        steps.delaySeconds = 0;
        loaded = window.Form_Load(steps);
        window.showOverDesktop();
    }

    // Where Qt reports a pointer standing on physical pixel `p`.
    QPointF reported(QPoint p) const { return window.layout().logicalPoint(p); }

    ColorValue moveTo(QPoint p)
    {
        QSignalSpy moved(&window, &PickWindow::pointerMoved);
        window.Form_MouseMove(reported(p));
        return moved.isEmpty() ? -2 : moved.constLast().constFirst().value<ColorValue>();
    }

    FakeScreenGrabber grabber;
    PickWindow window;
    bool loaded = false;
};

QPoint decoded(ColorValue c)
{
    return FakeScreenGrabber::decode(qRgb(GetRed(c), GetGreen(c), GetBlue(c)));
}

} // namespace

class TestPickWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void pixelUnderThePointer_data();
    void pixelUnderThePointer();
    void realPointerEvents();
    void floatingSampleNeverHidesThePixel();
    void sampleAtTheEdgesLeavesTheImageWhole_data();
    void sampleAtTheEdgesLeavesTheImageWhole();
    void noImage();
    void keys_data();
    void keys();

private:
    QSize m_physical;
};

void TestPickWindow::initTestCase()
{
    m_physical = DesktopLayout::current().physicalBounds().size();
    qInfo("screen ratio %.2f, desktop %dx%d physical pixels", qApp->devicePixelRatio(),
          m_physical.width(), m_physical.height());
}

void TestPickWindow::pixelUnderThePointer_data()
{
    QTest::addColumn<QPoint>("pixel"); // negative: counted from the far edge
    QTest::newRow("top left") << QPoint(0, 0);
    QTest::newRow("one in") << QPoint(1, 1);
    QTest::newRow("odd pixel") << QPoint(37, 91);
    QTest::newRow("beyond 256") << QPoint(300, 299);
    QTest::newRow("bottom right") << QPoint(-1, -1);
    QTest::newRow("top right") << QPoint(-1, 0);
}

// Every pixel of the image stands over the screen pixel it came from: the
// pointer on physical pixel p reads image pixel p, at any device ratio.
void TestPickWindow::pixelUnderThePointer()
{
    QFETCH(QPoint, pixel);
    if (pixel.x() < 0)
        pixel.setX(m_physical.width() + pixel.x());
    if (pixel.y() < 0)
        pixel.setY(m_physical.height() + pixel.y());

    Session s(FakeScreenGrabber::coordinateShot());
    QVERIFY(s.loaded);
    QVERIFY(QTest::qWaitForWindowExposed(&s.window));
    QCOMPARE(s.window.geometry(), DesktopLayout::current().logicalBounds());
    QCOMPARE(decoded(s.moveTo(pixel)), pixel);
    // The image kept in the window reads back the same pixel.
    QCOMPARE(decoded(s.window.GetPixel(pixel)), pixel);
    QCOMPARE(s.window.GetPixel(QPoint(m_physical.width(), 0)), -1);
}

void TestPickWindow::realPointerEvents()
{
    Session s(FakeScreenGrabber::coordinateShot());
    QVERIFY(QTest::qWaitForWindowExposed(&s.window));
    QSignalSpy moved(&s.window, &PickWindow::pointerMoved);
    QSignalSpy picked(&s.window, &PickWindow::picked);
    const qreal ratio = s.window.devicePixelRatio();
    for (const QPoint local : {QPoint(40, 60), QPoint(41, 60), QPoint(120, 7)}) {
        QTest::mouseMove(&s.window, local);
        QTRY_VERIFY(!moved.isEmpty());
        // Halves (a simulated pointer between two pixels) go to the even one.
        const QPoint expected(int(std::nearbyint(local.x() * ratio)),
                              int(std::nearbyint(local.y() * ratio)));
        QCOMPARE(decoded(moved.takeLast().constFirst().value<ColorValue>()), expected);
        moved.clear();
    }
    // Every button's release picks.
    for (const Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton})
        QTest::mouseClick(&s.window, b, {}, QPoint(120, 7));
    QCOMPARE(picked.count(), 3);
}

void TestPickWindow::floatingSampleNeverHidesThePixel()
{
    Session s(FakeScreenGrabber::coordinateShot());
    QVERIFY(QTest::qWaitForWindowExposed(&s.window));
    const QPoint first(200, 200);
    const ColorValue c = s.moveTo(first);
    QVERIFY(s.window.sampleVisible());
    QCOMPARE(s.window.sampleColor(), toQColor(c));
    const QPointF at = s.reported(first) - QPointF(s.window.geometry().topLeft());
    QCOMPARE(s.window.sampleRect(),
             QRect(qRound(at.x() + 3), qRound(at.y() - 34), 17, 25));
    QVERIFY(!s.window.sampleRect().contains(at.toPoint()));

    // Move onto a pixel that the sample covers now: the image is read, not
    // the sample drawn over it.
    const qreal ratio = s.window.devicePixelRatio();
    const QPoint covered(qRound((s.window.sampleRect().center().x()) * ratio),
                         qRound((s.window.sampleRect().center().y()) * ratio));
    QCOMPARE(decoded(s.moveTo(covered)), covered);
    // Hiding the sample puts the image back where it stood.
    const QRect last = s.window.sampleRect();
    s.window.hideSample();
    QVERIFY(!s.window.sampleVisible());
    const QPoint under(qRound(last.center().x() * ratio), qRound(last.center().y() * ratio));
    QCOMPARE(decoded(s.window.GetPixel(under)), under);
}

void TestPickWindow::sampleAtTheEdgesLeavesTheImageWhole_data()
{
    QTest::addColumn<QPoint>("pointer"); // physical; negative x: from the right edge
    QTest::newRow("sample partly above the top") << QPoint(100, 20);
    QTest::newRow("sample wholly above the top") << QPoint(100, 4);
    QTest::newRow("sample partly past the right edge") << QPoint(-8, 200);
    QTest::newRow("sample past the top right corner") << QPoint(-2, 2);
}

// The floating sample, cut by the window's edge, must be taken back exactly
// where it stood: the whole image stays as it was taken.
void TestPickWindow::sampleAtTheEdgesLeavesTheImageWhole()
{
    QFETCH(QPoint, pointer);
    if (pointer.x() < 0)
        pointer.setX(m_physical.width() + pointer.x());

    Session s(FakeScreenGrabber::coordinateShot());
    QVERIFY(QTest::qWaitForWindowExposed(&s.window));
    s.moveTo(pointer);
    s.moveTo(pointer + QPoint(-1, 1)); // the sample moves on from there
    s.moveTo(QPoint(m_physical.width() / 2, m_physical.height() / 2));
    s.window.hideSample();
    // Every pixel of the image reads back as taken (sampled every 7th).
    int wrong = 0;
    for (int y = 0; y < m_physical.height(); y += 7)
        for (int x = 0; x < m_physical.width(); x += 7)
            wrong += decoded(s.window.GetPixel(QPoint(x, y))) == QPoint(x, y) ? 0 : 1;
    QCOMPARE(wrong, 0);
}

// No image to be had: the session goes on over the plain back colour.
void TestPickWindow::noImage()
{
    Session s(std::nullopt);
    QVERIFY(!s.loaded);
    QCOMPARE(s.grabber.grabs(), 1);
    QVERIFY(QTest::qWaitForWindowExposed(&s.window));
    const ColorValue back = fromQColor(QGuiApplication::palette().color(QPalette::Base));
    QCOMPARE(s.moveTo(QPoint(10, 10)), back);
    QCOMPARE(s.moveTo(QPoint(300, 200)), back);
}

void TestPickWindow::keys_data()
{
    QTest::addColumn<QPoint>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("shift");
    QTest::addColumn<QPoint>("end");

    QTest::newRow("right") << QPoint(50, 50) << int(Qt::Key_Right) << false << QPoint(51, 50);
    QTest::newRow("left") << QPoint(50, 50) << int(Qt::Key_Left) << false << QPoint(49, 50);
    QTest::newRow("up") << QPoint(50, 50) << int(Qt::Key_Up) << false << QPoint(50, 49);
    QTest::newRow("down") << QPoint(50, 50) << int(Qt::Key_Down) << false << QPoint(50, 51);
    QTest::newRow("shift: ten") << QPoint(50, 50) << int(Qt::Key_Down) << true << QPoint(50, 60);
    QTest::newRow("stops at the left edge") << QPoint(5, 50) << int(Qt::Key_Left) << true
                                            << QPoint(0, 50);
    QTest::newRow("odd pixel at any ratio") << QPoint(101, 33) << int(Qt::Key_Right) << false
                                            << QPoint(102, 33);
}

void TestPickWindow::keys()
{
    QFETCH(QPoint, start);
    QFETCH(int, key);
    QFETCH(bool, shift);
    QFETCH(QPoint, end);

    Session s(FakeScreenGrabber::coordinateShot());
    QVERIFY(QTest::qWaitForWindowExposed(&s.window));
    QCOMPARE(decoded(s.moveTo(start)), start);
    QSignalSpy moved(&s.window, &PickWindow::pointerMoved);
    QVERIFY(s.window.handleKey(key, shift ? Qt::ShiftModifier : Qt::NoModifier));
    QCOMPARE(moved.count(), 1);
    QCOMPARE(decoded(moved.constLast().constFirst().value<ColorValue>()), end);
    // A second press goes on from there, not from where the pointer was.
    QVERIFY(s.window.handleKey(Qt::Key_Right, Qt::NoModifier));
    QCOMPARE(decoded(moved.constLast().constFirst().value<ColorValue>()), end + QPoint(1, 0));

    QSignalSpy picked(&s.window, &PickWindow::picked);
    QSignalSpy stop(&s.window, &PickWindow::stopRequested);
    QVERIFY(s.window.handleKey(Qt::Key_Return, Qt::NoModifier));
    QVERIFY(s.window.handleKey(Qt::Key_Space, Qt::NoModifier));
    QCOMPARE(picked.count(), 2);
    QVERIFY(s.window.handleKey(Qt::Key_Escape, Qt::NoModifier));
    QCOMPARE(stop.count(), 1);
    QVERIFY(!s.window.handleKey(Qt::Key_A, Qt::NoModifier));
}

QTEST_MAIN(TestPickWindow)
#include "tst_pickwindow.moc"
