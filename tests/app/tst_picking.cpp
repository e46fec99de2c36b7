#include "FakeScreenGrabber.h"
#include "MainWindow.h"
#include "MessageBoxes.h"
#include "PickWindow.h"
#include "ScopedCurrentDir.h"
#include "ShapeWidget.h"
#include "Startup.h"
#include "SwatchLabel.h"
#include "TestFiles.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using namespace tintaro;

namespace {

// A desktop whose pixels name their own coordinates, and the colour there.
ColorValue colourAt(QPoint p)
{
    const QRgb rgb = FakeScreenGrabber::coordinateImage(QSize(p.x() + 1, p.y() + 1)).pixel(p);
    return makeColor(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

QByteArray recordOf(ColorValue c) { return (RedHex(c) + GreenHex(c) + BlueHex(c)).toLatin1(); }

class Program
{
public:
    explicit Program(const QByteArray& userFile, bool withImage = true)
    {
        TestFiles::write(m_dir.filePath(QStringLiteral("set.dat")), "\"Default\"\r\n");
        TestFiles::write(m_dir.filePath(QStringLiteral("websafe.rgb")), TestFiles::records(216));
        if (!userFile.isNull())
            TestFiles::write(m_dir.filePath(QStringLiteral("mycolor.rgb")), userFile);
        m_window = Startup::start();
        auto grabber = std::make_unique<FakeScreenGrabber>(
            withImage ? std::optional<DesktopShot>(FakeScreenGrabber::coordinateShot()) : std::nullopt);
        m_grabber = grabber.get();
        m_window->setScreenGrabber(std::move(grabber));
        m_window->setPickDelay(0);
    }

    MainWindow& w() { return *m_window; }
    const MainWindowLayout& ui() { return m_window->controls(); }
    FakeScreenGrabber& grabber() { return *m_grabber; }
    QByteArray userFile() const { return TestFiles::read(m_dir.filePath(QStringLiteral("mycolor.rgb"))); }
    QString path(const QString& name) const { return m_dir.filePath(name); }

    void start() { QTest::mouseClick(ui().cmdstart, Qt::LeftButton); }
    PickWindow* pick() { return m_window->pickWindow(); }
    // The pointer onto physical pixel p of the desktop, and a click where
    // it stands.
    void moveTo(QPoint p)
    {
        m_pointer = pick()->layout().logicalPoint(p);
        pick()->Form_MouseMove(m_pointer);
    }
    void click(Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(pick(), button, {}, (m_pointer - QPointF(pick()->position())).toPoint());
    }

private:
    ScopedCurrentDir m_dir;
    std::unique_ptr<MainWindow> m_window;
    FakeScreenGrabber* m_grabber = nullptr;
    QPointF m_pointer;
};

} // namespace

class TestPicking : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { MessageBoxes::clearShownTexts(); }
    void startAndStop();
    void startSwitchesToUserColours();
    void movementShowsColourEverywhere();
    void picksAppendRecords_data();
    void picksAppendRecords();
    void clickWithoutMovement();
    void noImageGivesBackColour();
    void sessionEndsWith_data();
    void sessionEndsWith();
    void keysWhileMainWindowHasFocus();
    void pointerOverMainWindowHidesSample();
    void readOnlyUserFile();
};

void TestPicking::startAndStop()
{
    Program p(TestFiles::records(3));
    p.start();
    QCOMPARE(p.w().state().Picking, 1);
    QVERIFY(!p.ui().cmdstart->isEnabled());
    QVERIFY(!p.ui().cmdmin->isEnabled());
    QVERIFY(p.ui().cmdstop->isEnabled());
    QVERIFY(p.pick());
    QVERIFY(p.pick()->isVisible());
    QVERIFY(p.pick()->hasImage());
    QVERIFY(p.w().isVisible()); // shown again after the image was taken
    QVERIFY(p.w().windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(p.pick()->geometry(), DesktopLayout::current().logicalBounds());
    QCOMPARE(p.pick()->cursor().hotSpot(), QPoint(11, 20));
    QCOMPARE(p.grabber().grabs(), 1);

    QPointer<PickWindow> first = p.pick();
    QTest::mouseClick(p.ui().cmdstop, Qt::LeftButton);
    QCOMPARE(p.w().state().Picking, 0);
    QVERIFY(!p.pick());
    QVERIFY(p.ui().cmdstart->isEnabled() && p.ui().cmdmin->isEnabled());
    QVERIFY(!p.ui().cmdstop->isEnabled());
    QTRY_VERIFY(!first); // the window and its image are released

    // A new session takes a fresh image.
    p.start();
    QCOMPARE(p.grabber().grabs(), 2);
    QVERIFY(p.pick() && p.pick() != first);
}

void TestPicking::startSwitchesToUserColours()
{
    Program p(TestFiles::records(3));
    QTest::mouseClick(p.ui().optwebsafe, Qt::LeftButton);
    QCOMPARE(p.w().state().ShowingWebSafe, 1);
    p.start();
    QCOMPARE(p.w().state().ShowingWebSafe, 0);
    QVERIFY(p.ui().optuser->isChecked());
    QVERIFY(p.ui().cmddel->isVisible() || !p.w().isExpanded());
    QCOMPARE(p.w().grid().cellRecord(0), 3);
}

void TestPicking::movementShowsColourEverywhere()
{
    Program p(TestFiles::records(3));
    p.ui().cmdswap->click();
    p.ui().optbg->click();
    QTest::mouseClick(p.ui().lblcor[0], Qt::LeftButton); // a chosen swatch...
    QVERIFY(p.ui().cmddel->isEnabled());
    p.start();
    const QPoint at(5 + 256, 10 + 256 * 2);
    p.moveTo(at);
    const ColorValue c = colourAt(at);
    QCOMPARE(p.w().state().PointerColor, c);
    QCOMPARE(p.ui().txtrgb->text(), ColorToHtml(c));
    QCOMPARE(p.ui().txtrgb1->text(), DecimalTriple(c));
    QCOMPARE(p.ui().txtr->text(), QStringLiteral("005"));
    QCOMPARE(p.ui().txtgh->text(), QStringLiteral("0A"));
    QCOMPARE(p.ui().lblcolor->backColor(), toQColor(c));
    // ...is no longer chosen, and the background target takes the colour.
    QVERIFY(!p.ui().shp1->isVisible());
    QVERIFY(!p.ui().cmddel->isEnabled());
    for (SwatchLabel* l : {p.ui().lbltext, p.ui().lblnl, p.ui().lblvl, p.ui().lblal, p.ui().lblhl,
                           p.ui().lbldisplay})
        QCOMPARE(l->backColor(), toQColor(c));
    QCOMPARE(p.ui().lbltext->foreColor(), QColor(Qt::black));
    QCOMPARE(p.pick()->sampleColor(), toQColor(c));
    QVERIFY(p.pick()->sampleVisible());
}

void TestPicking::picksAppendRecords_data()
{
    QTest::addColumn<int>("colours");
    QTest::addColumn<bool>("nextAfter");
    QTest::addColumn<bool>("cleanAfter");
    QTest::newRow("first pick into an empty file") << 0 << false << false;
    QTest::newRow("second pick enables cleaning") << 1 << false << true;
    QTest::newRow("within a page") << 10 << false << true;
    QTest::newRow("the 145th colour makes a second page") << 144 << true << true;
}

void TestPicking::picksAppendRecords()
{
    QFETCH(int, colours);
    QFETCH(bool, nextAfter);
    QFETCH(bool, cleanAfter);

    const QByteArray before = TestFiles::records(colours);
    Program p(colours == 0 ? QByteArray() : before);
    p.start();
    const QPoint at(128, 255);
    p.moveTo(at);
    p.click(Qt::LeftButton);

    const ColorValue c = colourAt(at);
    QCOMPARE(p.userFile(), (colours == 0 ? QByteArray("") : before) + recordOf(c));
    QCOMPARE(p.w().state().UserColorCount, colours + 1);
    QCOMPARE(p.w().state().UserPagePos, colours + 1);
    QCOMPARE(p.ui().cmdnext->isEnabled(), nextAfter);
    QCOMPARE(p.w().state().UserNextEnabled, nextAfter ? 1 : 0);
    QCOMPARE(p.ui().cmdclean->isEnabled(), cleanAfter);
    QCOMPARE(p.ui().lblcor[0]->backColor(), toQColor(c)); // the newest colour first
    QCOMPARE(p.ui().shpnew->fillColor(), toQColor(c));
    QCOMPARE(p.w().state().Picking, 1); // the session goes on

    // Every button picks, each a record of its own.
    p.click(Qt::RightButton);
    p.click(Qt::MiddleButton);
    QCOMPARE(p.w().state().UserColorCount, colours + 3);
    QCOMPARE(p.userFile().right(18), recordOf(c) + recordOf(c) + recordOf(c));
}

void TestPicking::clickWithoutMovement()
{
    Program p(QByteArray(""));
    p.start();
    p.pick()->Form_MouseUp();
    QCOMPARE(p.userFile(), QByteArray("000000")); // nothing moved yet: black
    p.moveTo(QPoint(200, 100));
    QTest::mouseClick(p.ui().cmdstop, Qt::LeftButton);
    // The colour of the last movement carries over into the next session.
    p.start();
    p.pick()->Form_MouseUp();
    QCOMPARE(p.userFile(), "000000" + recordOf(colourAt(QPoint(200, 100))));
}

void TestPicking::noImageGivesBackColour()
{
    Program p(QByteArray(""), false);
    p.start();
    QCOMPARE(p.w().state().Picking, 1);
    QVERIFY(p.pick()->isVisible());
    p.moveTo(QPoint(40, 40));
    p.click();
    const ColorValue back = fromQColor(QGuiApplication::palette().color(QPalette::Base));
    QCOMPARE(p.userFile(), recordOf(back));
    QVERIFY(MessageBoxes::shownTexts().isEmpty()); // no dialog
}

void TestPicking::sessionEndsWith_data()
{
    QTest::addColumn<QString>("what");
    QTest::newRow("Stop picking") << "cmdstop";
    QTest::newRow("Help") << "cmdhelp";
    QTest::newRow("the logo") << "imgmark";
    QTest::newRow("the web-safe palette") << "optwebsafe";
    QTest::newRow("Escape") << "escape";
}

void TestPicking::sessionEndsWith()
{
    QFETCH(QString, what);
    Program p(TestFiles::records(2));
    p.w().setUrlOpener([](const QUrl&) {});
    p.start();
    QPointer<PickWindow> window = p.pick();
    if (what == QLatin1String("escape"))
        QTest::keyClick(window.data(), Qt::Key_Escape);
    else
        QTest::mouseClick(p.w().findChild<QWidget*>(what), Qt::LeftButton, {}, QPoint(4, 4));
    QCOMPARE(p.w().state().Picking, 0);
    QVERIFY(!p.ui().cmdstop->isEnabled());
    QVERIFY(p.ui().cmdstart->isEnabled());
    QTRY_VERIFY(!window);
    // A pick after the session ended appends nothing.
    QCOMPARE(p.userFile(), TestFiles::records(2));
}

void TestPicking::keysWhileMainWindowHasFocus()
{
    Program p(QByteArray(""));
    p.start();
    p.moveTo(QPoint(20, 30));
    // The keys work even where the main window holds the focus.
    QTest::keyClick(p.ui().cmdstop, Qt::Key_Right);
    QCOMPARE(p.w().state().PointerColor, colourAt(QPoint(21, 30)));
    QTest::keyClick(p.ui().cmdstop, Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(p.w().state().PointerColor, colourAt(QPoint(21, 40)));
    QTest::keyClick(p.ui().cmdstop, Qt::Key_Return);
    QCOMPARE(p.userFile(), recordOf(colourAt(QPoint(21, 40))));
    QTest::keyClick(p.ui().cmdstop, Qt::Key_Escape);
    QCOMPARE(p.w().state().Picking, 0);
    // After the session the keys are the window's own again.
    QTest::keyClick(p.ui().cmdstart, Qt::Key_Return);
    QCOMPARE(p.userFile(), recordOf(colourAt(QPoint(21, 40))));
}

void TestPicking::pointerOverMainWindowHidesSample()
{
    Program p(QByteArray(""));
    p.start();
    p.moveTo(QPoint(300, 300));
    QVERIFY(p.pick()->sampleVisible());
    QTest::mouseMove(&p.w(), QPoint(2, 2));
    p.w().Form_MouseMove();
    QVERIFY(!p.pick()->sampleVisible());
}

void TestPicking::readOnlyUserFile()
{
    if (TestFiles::ignoresPermissions())
        QSKIP("permissions do not bind this user; the unprivileged run covers this");
    Program p(QByteArray("112233"));
    TestFiles::setReadOnly(p.path(QStringLiteral("mycolor.rgb")), true);
    p.start(); // reopens the user's file, now read-only
    p.moveTo(QPoint(3, 4));
    MessageBoxes::setNextAnswer(QMessageBox::Ok);
    p.click();
    QCOMPARE(MessageBoxes::shownTexts().size(), 1);
    QVERIFY(MessageBoxes::shownTexts().constFirst().contains(QLatin1String("\"mycolor.rgb\"")));
    QCOMPARE(p.userFile(), QByteArray("112233"));
    QCOMPARE(p.w().state().UserColorCount, 1);
    QCOMPARE(p.ui().lblcor[0]->backColor(), QColor(0x11, 0x22, 0x33));
    QCOMPARE(p.w().state().Picking, 1);
}

QTEST_MAIN(TestPicking)
#include "tst_picking.moc"
