#pragma once

#include "ColorDetailsWindow.h"
#include "Contrast.h"
#include "ContrastWindow.h"
#include "ExportDialog.h"
#include "FakeScreenGrabber.h"
#include "MainWindow.h"
#include "MessageBoxes.h"
#include "PickSession.h"
#include "PickWindow.h"
#include "ScopedCurrentDir.h"
#include "ShapeWidget.h"
#include "Startup.h"
#include "SwatchLabel.h"
#include "TestFiles.h"

#include <QClipboard>
#include <QComboBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using namespace tintaro;

// The palette's usable buttons by their first word, and "frame" while a swatch is marked.
inline QString usable(const MainWindowLayout& ui)
{
    QStringList on;
    for (const QPushButton* b : {ui.cmdpre, ui.cmdnext, ui.cmddel, ui.cmdclean})
        if (b->isVisible() && b->isEnabled())
            on << b->text().section(' ', 0, 0);
    if (ui.shp1->isVisible())
        on << "frame";
    return on.join(' ');
}

// The desktop the fake grabber hands in: every pixel names its coordinates.
inline QColor colourAt(QPoint p)
{
    return QColor(FakeScreenGrabber::colourAt(p.x(), p.y()));
}
inline QByteArray recordOf(const QColor& c)
{
    return c.name().mid(1).toUpper().toLatin1();
}

// The program started in a fresh folder holding the user's colours (null: no
// file), a set.dat of one name, 216 web-safe colours of its own and `files`
// (null: left out); expanded, picking from a fake desktop, opening nothing.
class Program
{
public:
    explicit Program(const QByteArray& userFile = {}, const QMap<QString, QByteArray>& files = {},
                     bool expanded = true)
    {
        QMap<QString, QByteArray> all{{"set.dat", "\"Default\"\r\n"},
                                      {"websafe.rgb", TestFiles::records(216, 0x100000)},
                                      {"mycolor.rgb", userFile}};
        all.insert(files);
        for (auto f = all.cbegin(); f != all.cend(); ++f)
            if (!f->isNull() && f.key() != "<read-only>")
                TestFiles::write(path(f.key()), *f);
        if (all.contains("<read-only>"))
            TestFiles::setReadOnly(path(all["<read-only>"]), true);
        m_w = Startup::start();
        grabFrom(true);
        m_w->setPickDelay(0);
        m_w->setUrlOpener([this](const QUrl& u) { m_urls << u.toString().remove(m_dir.path()); });
        if (expanded)
            ui().cmdswap->click();
        (void)QTest::qWaitForWindowActive(m_w.get());
        // A message box no test answered would wait for ever: note it and close it.
        QObject::connect(&m_catcher, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                m_caught << box->text();
                box->close();
            } else if (auto* prompt = qobject_cast<QInputDialog*>(modal)) {
                const bool onTop = prompt->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
                m_prompt = QStringList{prompt->windowTitle(), prompt->labelText(),
                                       prompt->textValue(), onTop ? "on top" : ""}
                               .join('/');
                prompt->accept();
            }
        });
        m_catcher.start(50);
    }

    MainWindow& w() { return *m_w; }
    const MainWindowLayout& ui() { return m_w->controls(); }
    PickWindow* pick() { return m_w->pickWindow(); }
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QByteArray file(const QString& name = "mycolor.rgb") { return TestFiles::read(path(name)); }
    QWidget* find(const QString& name) { return m_w->findChild<QWidget*>(name); }
    void click(QWidget* c, Qt::MouseButton b = Qt::LeftButton)
    {
        QTest::mouseClick(c, b, {}, c->rect().center());
    }
    void swatch(int cell, Qt::MouseButton b = Qt::LeftButton) { click(ui().lblcor[cell], b); }
    void grabFrom(bool image)
    {
        auto grabber = std::make_unique<FakeScreenGrabber>(
            image ? std::optional(FakeScreenGrabber::coordinateShot()) : std::nullopt);
        m_grabber = grabber.get();
        m_w->setScreenGrabber(std::move(grabber));
    }
    // The pointer onto physical pixel p of the desktop, over the window there.
    void moveTo(QPoint p)
    {
        m_pointer = pick()->layout().logicalPoint(p);
        for (const auto& window : w().pickSession()->windows())
            if (window->area().contains(
                    QPoint(int(std::floor(m_pointer.x())), int(std::floor(m_pointer.y())))))
                window->Form_MouseMove(m_pointer);
    }
    // The sample page's colours as a colour-set record; its backgrounds agree.
    QByteArray scheme()
    {
        for (const SwatchLabel* l : {ui().lbltext, ui().lblnl, ui().lblvl, ui().lblal, ui().lblhl})
            if (l->backColor() != ui().lbldisplay->backColor())
                return "backgrounds differ";
        return ColorSetRecord::fromColors(m_w->schemeColors()).bytes();
    }
    // Right-clicks `c`; what the menu offered: "Delete", "Delete (off)" or nothing.
    QString popUp(QWidget* c)
    {
        QString offered = "no menu";
        const auto connection = QObject::connect(&w(), &MainWindow::popupMenuAboutToShow, [&] {
            const bool listed = ui().mnuDel->isVisible() && ui().mnusep->isVisible();
            offered = !listed ? "" : ui().mnuDel->isEnabled() ? "Delete" : "Delete (off)";
            QTimer::singleShot(0, ui().mnuPop, &QMenu::close);
        });
        click(c, Qt::RightButton);
        QObject::disconnect(connection);
        return offered;
    }

    // Plays steps as a user would: > < w u D C (the palette's buttons), N, mid:N, menu:N|colour,
    // del:N, copy:<entry> (swatches and their menu); X,Y (the pointer onto a pixel), L R M, up,
    // squeeze, key:<keys>, esc, noimage, hold, refuse:<why>, answer, corner, back, picker,
    // colour:<RRGGBB, - for a closed picker, !why for a failure> (picking); set:N, list:<key>,
    // tab:<name>, space:<name> (sets); ok, cancel, in:<text> ('_' a blank, - cancels) answer the
    // next box; ro:<file or .>; contrast, page:<entry> (the sample page's menu); details (a
    // double click on the current colour), copyform:N; export:<user|websafe|sets>/<newest|
    // oldest>/<format key>/<file, - cancels>[/menu] (- for a choice: as offered) (by Ctrl+E or the
    // menu), import:<sample file, - cancels>[/menu] (Ctrl+I or the menu); any other word clicks the
    // control of that name. An unanswered name prompt is accepted as offered.
    void run(const QString& script)
    {
        for (const QString& step : script.split(' ', Qt::SkipEmptyParts)) {
            QString arg = step.section(':', 1);
            const int button = QString("><wuDC").indexOf(step);
            const QKeySequence keys(arg);
            if (step.size() == 1 && button >= 0)
                click(std::array<QWidget*, 6>{ui().cmdnext, ui().cmdpre, ui().optwebsafe,
                                              ui().optuser, ui().cmddel,
                                              ui().cmdclean}[std::size_t(button)]);
            else if (step[0].isDigit() && !step.contains(','))
                swatch(step.toInt());
            else if (step.contains(','))
                moveTo(QPoint(step.section(',', 0, 0).toInt(), step.section(',', 1).toInt()));
            else if (step == "L" || step == "R" || step == "M")
                QTest::mouseClick(pick(),
                                  std::array{Qt::LeftButton, Qt::RightButton,
                                             Qt::MiddleButton}[QString("LRM").indexOf(step)],
                                  {}, (m_pointer - QPointF(pick()->position())).toPoint());
            else if (step == "contrast")
                fromPageMenu("mnucontrast");
            else if (step.startsWith("page:"))
                fromPageMenu(arg);
            else if (step == "details")
                QTest::mouseDClick(ui().lblcolor, Qt::LeftButton, {},
                                   ui().lblcolor->rect().center());
            else if (step.startsWith("copyform:"))
                click(w().detailsWindow()->findChild<QPushButton*>("cmdcopy" + arg));
            else if (step.startsWith("export:"))
                exportAs(arg.split('/'));
            else if (step.startsWith("import:"))
                importFrom(arg);
            else if (step.startsWith("use:"))
                click(w().contrastWindow()->findChild<QPushButton*>("cmduse" + arg));
            else if (step.startsWith("mid:"))
                swatch(arg.toInt(), Qt::MiddleButton);
            else if (step.startsWith("menu:"))
                m_menu = popUp(arg == "colour" ? ui().lblcolor : ui().lblcor[arg.toInt()]);
            else if (step.startsWith("del:") && popUp(ui().lblcor[arg.toInt()]) == "Delete")
                ui().mnuDel->trigger();
            else if (step.startsWith("copy:"))
                copy(arg);
            else if (step == "up")
                pick()->Form_MouseUp();
            else if (step == "squeeze") // the desktop narrows the window for a while
                squeeze();
            else if (step.startsWith("key:"))
                QTest::keyClick(ui().cmdstart, keys[0].key(), keys[0].keyboardModifiers());
            else if (step == "esc")
                QTest::keyClick(pick(), Qt::Key_Escape);
            else if (step == "noimage")
                grabFrom(false);
            else if (step == "hold" || step.startsWith("refuse:"))
                m_grabber->hold(arg.replace('_', ' '));
            else if (step == "answer")
                m_grabber->answer();
            else if (step == "picker")
                m_grabber->offerPicker();
            else if (step.startsWith("colour:"))
                m_grabber->answerColor(
                    {arg.size() == 6 ? std::optional(tintaro::fromQColor(QColor("#" + arg)))
                                     : std::nullopt,
                     arg.startsWith('!') ? arg.mid(1).replace('_', ' ') : QString()});
            else if (step == "corner") // the main window in the screen's bottom right corner
                w().move(w().screen()->availableGeometry().bottomRight() -
                         QPoint(w().width(), w().height()) + QPoint(1, 1));
            else if (step == "back") // the main window, hidden while the image is taken
                QTRY_VERIFY_WITH_TIMEOUT(!w().isHidden(), 5000);
            else if (step.startsWith("set:"))
                QTest::mouseClick(
                    ui().lstCorset->viewport(), Qt::LeftButton, {},
                    ui().lstCorset->visualItemRect(ui().lstCorset->item(arg.toInt())).center());
            else if (step.startsWith("list:"))
                QTest::keyClick(ui().lstCorset, keys[0].key());
            else if (step.startsWith("tab:"))
                find(arg)->setFocus(Qt::TabFocusReason);
            else if (step.startsWith("space:"))
                QTest::keyClick(find(arg), Qt::Key_Space);
            else if (step == "ok" || step == "cancel")
                MessageBoxes::setNextAnswer(step == "ok" ? QMessageBox::Ok : QMessageBox::Cancel);
            else if (step.startsWith("in:"))
                MessageBoxes::setNextInput(arg == "-" ? std::nullopt
                                                      : std::optional(arg.replace('_', ' ')));
            else if (step.startsWith("ro:"))
                TestFiles::setReadOnly(path(arg), true);
            else if (QWidget* c = find(step))
                click(c);
            else
                QFAIL(qPrintable("no such step: " + step));
            if (pick())
                m_lastPick = pick();
            QCoreApplication::processEvents(); // anything queued would act now
        }
        TestFiles::setReadOnly(path("."), false);
    }

    // The sample page's own menu, by a right click on the page.
    void fromPageMenu(const QString& entry)
    {
        QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(5, 5),
                                    ui().lbldisplay->mapToGlobal(QPoint(5, 5)));
        QCoreApplication::sendEvent(ui().lbldisplay, &menuEvent);
        QMenu* menu = w().samplePageMenu();
        QVERIFY(menu && menu->isVisible());
        QAction* action = menu->findChild<QAction*>(entry);
        QVERIFY(action && menu->actions().contains(action));
        menu->close();
        action->trigger();
    }

    // "Export colours": the choices made, a file name given (or the chooser
    // cancelled), Export pressed; a dialog left open is noted and closed.
    void exportAs(const QStringList& how)
    {
        m_dialog = "not opened";
        QTimer::singleShot(0, &w(), [this, how] {
            auto* d = qobject_cast<ExportDialog*>(QApplication::activeModalWidget());
            if (!d)
                return;
            // "-" leaves a choice as the dialog offers it.
            if (how.value(0) != "-")
                d->findChild<QRadioButton*>("optexp" + how.value(0))->click();
            if (how.value(1) != "-")
                d->findChild<QRadioButton*>("opt" + how.value(1))->click();
            if (const auto format = PaletteExport::exportFormatFromKey(how.value(2)))
                d->findChild<QComboBox*>("cboformat")->setCurrentIndex(int(*format));
            m_exported = how.value(3) == "-" ? QString() : path(how.value(3));
            MessageBoxes::setNextFileName(m_exported.isEmpty() ? std::nullopt
                                                               : std::optional(m_exported));
            click(d->findChild<QPushButton*>("cmdexport"));
            m_dialog = d->isVisible() ? "open" : "closed";
            d->close();
        });
        if (how.value(4) == "menu")
            fromPageMenu("mnuexport");
        else
            QTest::keyClick(ui().cmdstart, Qt::Key_E, Qt::ControlModifier);
    }

    // Palette files for the import: named by what they hold.
    void importFrom(const QString& how)
    {
        const QString sample = how.section('/', 0, 0);
        const QMap<QString, QByteArray> samples{
            {"good.gpl", "GIMP Palette\nName: Brand\n#\n255   0   0\tRed\n  0 128 255 Sky\n"},
            {"bad.gpl", "GIMP Palette\n255 0 0\n300 0 0\n"},
            {"empty.gpl", "GIMP Palette\nName: None yet\n"},
            {"notes.txt", "255 0 0\n"}};
        if (samples.contains(sample))
            TestFiles::write(path(sample), samples[sample]);
        MessageBoxes::setNextFileName(sample == "-" ? std::nullopt : std::optional(path(sample)));
        if (how.endsWith("/menu"))
            fromPageMenu("mnuimport");
        else
            QTest::keyClick(ui().cmdstart, Qt::Key_I, Qt::ControlModifier);
    }

    // The picking window made 32 pixels shorter once painted, as a desktop
    // may do before it grants full screen, then given its size back.
    void squeeze()
    {
        QWindow* window = pick();
        const QSize size = window->size();
        const bool fullScreen = window->windowStates().testFlag(Qt::WindowFullScreen);
        window->showNormal();
        window->resize(size - QSize(0, 32));
        QTRY_COMPARE(window->size(), size - QSize(0, 32));
        QCoreApplication::processEvents();
        fullScreen ? window->showFullScreen() : window->resize(size);
        QTRY_COMPARE(window->size(), size);
    }

    // What a user can see after the steps, by name.
    QString fact(const QString& name)
    {
        const std::map<QString, std::function<QString()>> facts{
            {"file",
             [&] {
                 return QFile::exists(path("mycolor.rgb")) ? QString::fromLatin1(file()) : "<none>";
             }},
            {"top", [&] { return QString::number(w().grid().cellRecord(0)); }},
            {"usable", [&] { return usable(ui()); }},
            {"readout",
             [&] {
                 QStringList texts;
                 for (const QLineEdit* box : {ui().txtrgb, ui().txtrgb1, ui().txtr, ui().txtrh,
                                              ui().txtg, ui().txtgh, ui().txtb, ui().txtbh})
                     texts << box->text();
                 return texts.join(' ');
             }},
            {"colour", [&] { return ui().txtrgb->text(); }},
            {"newest", [&] { return ui().shpnew->fillColor().name().toUpper(); }},
            {"clip", [&] { return QGuiApplication::clipboard()->text(); }},
            {"menu", [&] { return m_menu; }},
            {"shown",
             [&] {
                 const QString dir = QDir::toNativeSeparators(m_dir.path());
                 return (MessageBoxes::shownTexts() + m_caught).join('|').replace(dir, "<dir>");
             }},
            {"page", [&] { return QString::fromLatin1(scheme()); }},
            {"names", [&] { return QString::fromUtf8(file("set.dat")); }},
            {"sets", [&] { return QString::fromLatin1(file("colorset.dat")); }},
            {"row", [&] { return QString::number(ui().lstCorset->currentRow()); }},
            {"chosen", [&] { return QString::number(w().selectedSetIndex()); }},
            {"delete", [&] { return QString(ui().cmdDelItem->isEnabled() ? "on" : "off"); }},
            {"picking", [&] { return QString::number(w().state().Picking); }},
            {"buttons", // the enabled ones of Start, Stop and Minimum
             [&] {
                 QStringList on;
                 for (const QPushButton* b : {ui().cmdstart, ui().cmdstop, ui().cmdmin})
                     if (b->isEnabled())
                         on << b->objectName();
                 return on.join(' ');
             }},
            {"grabs", [&] { return QString::number(m_grabber->grabs()); }},
            {"cancels", [&] { return QString::number(m_grabber->cancels()); }},
            {"warps",
             [&] {
                 QStringList at;
                 for (QPoint p : m_grabber->warps())
                     at << QString("%1,%2").arg(p.x()).arg(p.y());
                 return at.join(' ');
             }},
            {"notice",
             [&] {
                 const auto* notice = w().findChild<QLabel*>("lblnotice");
                 return notice && notice->isVisible() ? notice->text() : QString();
             }},
            {"opened", [&] { return m_urls.join(' '); }},
            // The contrast window: each pair's ratio (? unknown), the passing
            // colours it offers, its colour-vision notes.
            {"ratios",
             [&] {
                 const ContrastWindow* c = w().contrastWindow();
                 if (!c || !c->isVisible())
                     return QString("closed");
                 QStringList ratios;
                 for (const auto& pair : c->check().pairs())
                     ratios << (pair.ratio ? tintaro::ratioText(*pair.ratio) : "?");
                 return ratios.join(' ');
             }},
            {"passing",
             [&] {
                 QStringList offered;
                 for (int i = 0; i < tintaro::SchemeCheck::kPairCount; ++i)
                     if (const auto p = w().contrastWindow()->proposal(i))
                         offered << QString::number(i) + ':' + tintaro::ColorToHtml(*p);
                 return offered.join(' ');
             }},
            {"notes", [&] { return w().contrastWindow()->lines().mid(7).join('|'); }},
            {"prompt", [&] { return m_prompt; }},
            // Colour details: every form shown, or "closed".
            {"forms",
             [&] {
                 const ColorDetailsWindow* d = w().detailsWindow();
                 return d && d->isVisible() ? d->texts().join('|') : QString("closed");
             }},
            // The last export: the dialog after Export, and the file it wrote.
            {"dialog", [&] { return m_dialog; }},
            {"exported",
             [&] {
                 return QFile::exists(m_exported) ? QString::fromUtf8(TestFiles::read(m_exported))
                                                  : QString("<none>");
             }},
        };
        const auto f = facts.find(name);
        return f != facts.end() ? f->second() : "no such fact: " + name;
    }

    // What holds after any steps: the grid shows the palette's file as it
    // is, no temporary is left, and a session's window goes when it ends.
    void checkInvariants()
    {
        QCOMPARE(w().state().UserColorCount, int(file().size() / 6));
        QVERIFY(QDir(path(".")).entryList({"*.tmp", "*.partial"}).isEmpty());
        // The notice: as wide as the window, on the screen, right below it or
        // right above it, unless the screen is too small for both.
        if (const auto* notice = w().findChild<QLabel*>("lblnotice");
            notice && notice->isVisible()) {
            const QRect frame = w().frameGeometry(), at = notice->geometry();
            const QRect room = w().screen()->availableGeometry();
            QVERIFY(at.width() == frame.width() && at.left() >= room.left() &&
                    at.top() >= room.top() && at.bottom() <= room.bottom());
            QVERIFY(at.top() == frame.bottom() + 1 || at.bottom() == frame.top() - 1 ||
                    frame.height() + at.height() > room.height());
        }
        const bool webSafe = ui().optwebsafe->isChecked();
        QCOMPARE(ui().mnuDel->isVisible(), !webSafe);
        const QByteArray shown = file(webSafe ? "websafe.rgb" : "mycolor.rgb");
        const int top = webSafe ? w().state().WebSafePagePos : w().state().UserPagePos;
        for (int cell = 0; cell < 144; ++cell) { // newest first; white where no record is
            const int record = top - cell;
            const bool there = record > 0 && record * 6 <= shown.size();
            QCOMPARE(w().grid().cellRecord(cell), there ? record : 0);
            const QColor c(there ? QString::fromLatin1("#" + shown.mid((record - 1) * 6, 6)) : "");
            QCOMPARE(ui().lblcor[cell]->backColor(), c.isValid() ? c : Qt::white);
        }
        // Where the main window stays on top, it is tied above the picking
        // windows exactly while they show.
        const PickSession* session = w().state().Picking ? w().pickSession() : nullptr;
        const bool tied = session && !session->windows().empty() && !session->isWaiting() &&
                          m_grabber->traits().keepsMainWindowOnTop;
        QCOMPARE(m_grabber->ownerAbove(), tied);
        QVERIFY(!tied || m_grabber->owner() == w().windowHandle());
        if (!w().state().Picking) {
            QTRY_VERIFY(!m_lastPick);                   // the window and its image are released
        } else if (w().pickSession()->isColorsOnly()) { // the desktop's picker: no windows
            QVERIFY(w().pickSession()->windows().empty());
        } else if (!w().pickSession()->isWaiting()) { // the windows cover every screen
            // Full screen only where a compositor must place them: window
            // managers lift full-screen windows above the kept-on-top one.
            QRegion covered;
            for (const auto& window : w().pickSession()->windows()) {
                covered += window->isVisible() ? window->geometry() : QRect();
                QCOMPARE(window->windowStates().testFlag(Qt::WindowFullScreen),
                         !m_grabber->traits().keepsMainWindowOnTop);
            }
            const auto screens = QGuiApplication::screens();
            QCOMPARE(int(w().pickSession()->windows().size()),
                     FakeScreenGrabber::perScreen() ? int(screens.size()) : 1);
            for (const QScreen* screen : screens)
                QVERIFY(covered.contains(screen->geometry()));
            QVERIFY(w().windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        }
    }

    // Hands the dialog `opener` opens to `examine`, then closes it. The dialog is
    // modal, on top, of fixed size, centred on the window, and holds back its clicks.
    void withDialog(QWidget* opener, const std::function<void(QDialog*)>& examine)
    {
        QPointer<QDialog> d;
        QTimer::singleShot(0, &w(), [&] {
            d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            [&] { // a failed check returns from here only, and the dialog closes
                QVERIFY(d);
                const auto sizing = Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint;
                QPoint off = d->frameGeometry().center() - w().frameGeometry().center();
                if (!w().screen()->availableGeometry().contains(w().frameGeometry()))
                    off = {}; // on a screen too small, kept on the screen instead
                const bool expanded = w().isExpanded();
                QTest::mouseClick(m_w->windowHandle(), Qt::LeftButton, {},
                                  ui().cmdswap->mapTo(&w(), ui().cmdswap->rect().center()));
                QVERIFY(d->isModal() && d->windowFlags().testFlag(Qt::WindowStaysOnTopHint) &&
                        !(d->windowFlags() & sizing) && d->minimumSize() == d->maximumSize() &&
                        qAbs(off.x()) <= 2 && qAbs(off.y()) <= 2 && w().isExpanded() == expanded);
                examine(d);
            }();
            if (d)
                d->close();
        });
        click(opener);
        QVERIFY(d.isNull() && !QApplication::activeModalWidget() && w().isVisible());
    }

private:
    // The entry copies the colour, only as text, and shows what it copies.
    void copy(const QString& entry)
    {
        auto* before = new QMimeData; // an image and rich text, to be replaced
        before->setImageData(QImage(4, 4, QImage::Format_RGB32));
        before->setHtml("<b>old</b>");
        QGuiApplication::clipboard()->setMimeData(before);
        QAction* action = w().findChild<QAction*>(entry);
        action->trigger();
        const QMimeData* now = QGuiApplication::clipboard()->mimeData();
        QVERIFY(!now->hasImage() && !now->hasHtml());
        QVERIFY(action->text().endsWith("Format: " + now->text()));
    }

    ScopedCurrentDir m_dir;
    std::unique_ptr<MainWindow> m_w;
    FakeScreenGrabber* m_grabber = nullptr;
    QPointer<PickWindow> m_lastPick;
    QPointF m_pointer;
    QTimer m_catcher;
    QStringList m_caught, m_urls;
    QString m_menu, m_prompt, m_dialog, m_exported;
};
