#include "AppFixture.h"

#include "FakeScreenGrabber.h"
#include "PickWindow.h"

#include <cmath>

namespace {

// The desktop's pixels name their own coordinates.
QColor colourAt(QPoint p)
{
    return FakeScreenGrabber::coordinateImage(QSize(p.x() + 1, p.y() + 1)).pixelColor(p);
}

QByteArray recordOf(const QColor& c)
{
    return c.name().mid(1).toUpper().toLatin1();
}

class Picking : public Program
{
public:
    explicit Picking(const QByteArray& userFile, bool withImage = true) : Program(userFile)
    {
        auto grabber = std::make_unique<FakeScreenGrabber>(
            withImage ? std::optional(FakeScreenGrabber::coordinateShot()) : std::nullopt);
        this->grabber = grabber.get();
        w().setScreenGrabber(std::move(grabber));
        w().setPickDelay(0);
    }
    FakeScreenGrabber* grabber;

    void start() { click(ui().cmdstart); }
    PickWindow* pick() { return w().pickWindow(); }
    // The pointer onto physical pixel p of the desktop; a click where it is.
    void moveTo(QPoint p)
    {
        m_pointer = pick()->layout().logicalPoint(p);
        pick()->Form_MouseMove(m_pointer);
    }
    void pickHere(Qt::MouseButton button)
    {
        QTest::mouseClick(pick(), button, {}, (m_pointer - QPointF(pick()->position())).toPoint());
    }

private:
    QPointF m_pointer;
};

} // namespace

// A picking session: the frozen screen, the colour under the pointer, picks
// into the user's file, and what ends a session.
class TestPicking : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { MessageBoxes::clearShownTexts(); }

    void sessionEndsWith_data()
    {
        QTest::addColumn<QString>("what");
        QTest::newRow("Stop picking") << "cmdstop";
        QTest::newRow("Help") << "cmdhelp";
        QTest::newRow("the logo") << "imgmark";
        QTest::newRow("the web-safe palette") << "optwebsafe";
        QTest::newRow("Escape") << "escape";
    }
    void sessionEndsWith()
    {
        QFETCH(QString, what);
        Picking p(TestFiles::records(3));
        p.w().setUrlOpener([](const QUrl&) {});
        p.click(p.ui().optwebsafe);
        p.start();
        QVERIFY(p.w().state().Picking && !p.ui().cmdstart->isEnabled() &&
                !p.ui().cmdmin->isEnabled());
        QVERIFY(p.ui().cmdstop->isEnabled() && p.pick()->isVisible() && p.pick()->hasImage());
        QCOMPARE(p.pick()->geometry(), DesktopLayout::current().logicalBounds());
        QVERIFY(p.w().isVisible() && p.w().windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(p.grabber->grabs(), 1);
        QVERIFY(p.ui().optuser->isChecked()); // picks go to the user's colours
        QCOMPARE(p.w().grid().cellRecord(0), 3);

        const QPointer<PickWindow> window = p.pick();
        if (what == "escape")
            QTest::keyClick(window.data(), Qt::Key_Escape);
        else
            QTest::mouseClick(p.find(what), Qt::LeftButton, {}, QPoint(4, 4));
        QVERIFY(!p.w().state().Picking && !p.pick() && !p.ui().cmdstop->isEnabled());
        QVERIFY(p.ui().cmdstart->isEnabled() && p.ui().cmdmin->isEnabled());
        QTRY_VERIFY(!window); // the window and its image are released
        QCOMPARE(p.file(), TestFiles::records(3));
        p.start();
        QCOMPARE(p.grabber->grabs(), 2); // a fresh image
    }

    void movementShowsColourEverywhere()
    {
        Picking p(TestFiles::records(3));
        p.start();
        p.ui().optbg->click();
        p.swatch(0); // a chosen swatch...
        p.moveTo(QPoint(5 + 256, 10 + 256 * 2));
        QCOMPARE(p.readout(), QString("#050A21 5,10,33 005 05 010 0A 033 21").split(' '));
        const QColor c("#050A21");
        QCOMPARE(p.usable(), "Clean"); // ...is no longer
        QVERIFY(p.ui().lblcolor->backColor() == c && p.ui().lbldisplay->backColor() == c);
        QVERIFY(p.scheme() != "backgrounds differ" && p.ui().lbltext->foreColor() == Qt::black);
        QVERIFY(p.pick()->sampleColor() == c && p.pick()->sampleVisible());
        QTest::mouseMove(&p.w(), QPoint(2, 2)); // over the main window the sample hides
        p.w().Form_MouseMove();
        QVERIFY(!p.pick()->sampleVisible());
    }

    // The sample beside the pointer, cut by the window's edge or not, never
    // hides the pixel read, and what it covered is put back exactly.
    void sample_data()
    {
        QTest::addColumn<QPoint>("pointer");
        const QSize physical = DesktopLayout::current().physicalBounds().size();
        QTest::newRow("inside") << QPoint(300, 300);
        QTest::newRow("partly above the top") << QPoint(100, 20);
        QTest::newRow("wholly above the top") << QPoint(100, 4);
        QTest::newRow("past the top right corner") << QPoint(physical.width() - 2, 2);
    }
    void sample()
    {
        QFETCH(QPoint, pointer);
        Picking p("");
        p.start();
        PickWindow* w = p.pick();
        p.moveTo(pointer);
        QVERIFY(w->sampleVisible());
        QCOMPARE(w->sampleColor(), colourAt(pointer));
        const QPointF at = w->layout().logicalPoint(pointer) - QPointF(w->geometry().topLeft());
        QCOMPARE(w->sampleRect(), QRect(qRound(at.x() + 3), qRound(at.y() - 34), 17, 25));
        p.moveTo(pointer + QPoint(-1, 1)); // the sample moves on
        p.moveTo(QPoint(200, 200));
        // Onto a pixel the sample covers now: the image is read, not the sample.
        const QPoint covered =
            (QPointF(w->sampleRect().center()) * w->devicePixelRatio()).toPoint();
        p.moveTo(covered);
        QCOMPARE(p.readout().constFirst(), colourAt(covered).name().toUpper());
        w->hideSample();
        const QSize physical = DesktopLayout::current().physicalBounds().size();
        for (int y = 0; y < physical.height(); y += 7) // the image as it was taken
            for (int x = 0; x < physical.width(); x += 7) {
                const ColorValue c = w->GetPixel(QPoint(x, y));
                QVERIFY(FakeScreenGrabber::decode(qRgb(GetRed(c), GetGreen(c), GetBlue(c))) ==
                        QPoint(x, y));
            }
        QCOMPARE(w->GetPixel(QPoint(physical.width(), 0)), -1);
    }

    // Real pointer events: the pixel under the hot spot, a half to the even one.
    void realPointer()
    {
        Picking p("");
        p.start();
        const qreal ratio = p.pick()->devicePixelRatio();
        const QPoint pixel(int(std::nearbyint(41 * ratio)), int(std::nearbyint(61 * ratio)));
        QTest::mouseMove(p.pick(), QPoint(41, 61));
        QTRY_COMPARE(p.readout().constFirst(), colourAt(pixel).name().toUpper());
        QTest::mouseClick(p.pick(), Qt::LeftButton, {}, QPoint(41, 61));
        QCOMPARE(p.file(), recordOf(colourAt(pixel)));
    }

    void picks_data()
    {
        // "X,Y" moves the pointer onto that pixel, L R M click there, "up" is a
        // click where the pointer never moved; keys go to the main window.
        QTest::addColumn<QString>("actions");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("added");
        QTest::addColumn<QString>("usable");
        QTest::addColumn<bool>("image");
        const auto row = [](const char* name, const char* actions, const QByteArray& file,
                            const QByteArray& added, const char* usable, bool image = true) {
            QTest::newRow(name) << actions << file << added << usable << image;
        };
        const QByteArray at = recordOf(colourAt({128, 254})), keyed = recordOf(colourAt({21, 40}));
        const QByteArray moved = recordOf(colourAt({200, 100}));
        const QByteArray back = recordOf(QGuiApplication::palette().color(QPalette::Base));
        row("first pick into a new file", "128,254 L", {}, at, "");
        row("every button picks", "128,254 L R M", TestFiles::records(1), at + at + at, "Clean");
        row("the 145th colour makes a second page", "128,254 L", TestFiles::records(144), at,
            "> Clean");
        row("no movement: black; a movement carries over", "up 200,100 stop start up", "",
            "000000" + moved, "Clean");
        row("no image: the window's colour", "40,40 L", "", back, "", false);
        row("keys: arrows, Shift, Return, Space; Escape ends",
            "20,30 Right Shift+Down Return Space Escape Return", "", keyed + keyed, "Clean");
        row("keys stop at the edge", "5,50 Shift+Left Return", "", recordOf(colourAt({0, 50})), "");
        row("read-only file: a warning", "read-only 3,4 L", "112233", {}, "");
    }
    void picks()
    {
        QFETCH(QString, actions);
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, added);
        QFETCH(QString, usable);
        QFETCH(bool, image);
        const bool readOnly = actions.startsWith("read-only");
        if (readOnly && TestFiles::ignoresPermissions())
            QSKIP("permissions do not bind this user; the unprivileged run covers this");
        Picking p(file, image);
        TestFiles::setReadOnly(p.path("mycolor.rgb"), readOnly);
        if (readOnly)
            MessageBoxes::setNextAnswer(QMessageBox::Ok);
        p.start(); // which opens the user's file again
        for (const QString& a : actions.split(' ')) {
            const QKeySequence key(a);
            if (a.contains(','))
                p.moveTo(QPoint(a.section(',', 0, 0).toInt(), a.section(',', 1).toInt()));
            else if (a.size() == 1)
                p.pickHere(a == "L"   ? Qt::LeftButton
                           : a == "R" ? Qt::RightButton
                                      : Qt::MiddleButton);
            else if (a == "up")
                p.pick()->Form_MouseUp();
            else if (a == "stop" || a == "start")
                p.click(p.find("cmd" + a));
            else if (a != "read-only")
                QTest::keyClick(p.ui().cmdstart, key[0].key(), key[0].keyboardModifiers());
        }
        QCOMPARE(p.file(), file + added);
        QCOMPARE(MessageBoxes::shownTexts().size(), readOnly ? 1 : 0);
        QVERIFY(!readOnly || MessageBoxes::shownTexts().constFirst().contains("\"mycolor.rgb\""));
        QCOMPARE(p.w().state().UserColorCount, int(p.file().size() / 6));
        QCOMPARE(p.colorAt(0),
                 QColor(QString::fromLatin1("#" + p.file().right(6)))); // the newest first
        QCOMPARE(p.ui().shpnew->fillColor(),
                 QColor(added.isEmpty() ? "white" : QString::fromLatin1("#" + added.right(6))));
        QCOMPARE(p.w().state().Picking == 1, !actions.contains("Escape")); // picking goes on
        QCOMPARE(p.usable(), usable);
    }
};

QTEST_MAIN(TestPicking)
#include "tst_picking.moc"
