#include "MainWindow.h"

#include "AboutBox.h"
#include "Artwork.h"
#include "CodeView.h"
#include "ColorDetailsWindow.h"
#include "ContrastWindow.h"
#include "ExportDialog.h"
#include "FocusWatcher.h"
#include "Fonts.h"
#include "MessageBoxes.h"
#include "ShapeWidget.h"
#include "SwatchLabel.h"
#include "Topmost.h"
#include "Twips.h"
#include "WindowPlacement.h"

#include "ColorReadout.h"
#include "PaletteImport.h"
#include "PickNotice.h"
#include "PickSession.h"
#include "PickWindow.h"
#include "RecordRewriter.h"
#include "ScreenGrabber.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>

#include <cstdio>
#include <cstring>
#include <unordered_set>
#include <utility>

namespace tintaro {
namespace {

// The windows and files beyond the main window's own design: each has a
// key of the main window and an entry in the sample page's menu.
struct ToolCommand
{
    const char* name;
    const char* text;
    Qt::Key key;
    void (MainWindow::*slot)();
};
const ToolCommand kToolCommands[] = {
    {"mnucontrast", "Contrast check...", Qt::Key_K, &MainWindow::openContrastCheck},
    {"mnudetails", "Colour details...", Qt::Key_D, &MainWindow::openColorDetails},
    {"mnuexport", "Export colours...", Qt::Key_E, &MainWindow::openExport},
    {"mnuimport", "Import colours...", Qt::Key_I, &MainWindow::importColours}};

QList<const QWidget*> visibleOnes(std::initializer_list<const QWidget*> windows)
{
    QList<const QWidget*> shown;
    for (const QWidget* w : windows)
        if (w && w->isVisible())
            shown << w;
    return shown;
}

} // namespace

MainWindow::MainWindow(const QStringList& setNames, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      m_ui(this), m_openUrl([](const QUrl& url) { QDesktopServices::openUrl(url); })
{
    setObjectName(QStringLiteral("frmshowcolor"));
    setWindowIcon(Artwork::windowIcon());
    setFont(Fonts::dialog());
    setMouseTracking(true);
    Form_Load();

    m_ui.lstCorset->addItems(setNames);
    m_ui.cmdDelItem->setEnabled(false);
    m_state.Picking = 0;
    m_ui.optnone->setChecked(true);
    setClientSize(MainWindowLayout::kShrunkWidth, MainWindowLayout::kShrunkHeight);
    clearSelection();
    m_ui.createSwatches();
    m_ui.placeGrid();
    m_isExpanded = false;

    openPalette(kUserFileName, PaletteFile::Access::ReadWrite);
    m_state.startUp(m_paletteFile.countRecords());
    FillPalette(m_state.UserPagePos);
    syncPaletteButtons();

    m_ui.setTabOrder();
    m_ui.cmdstart->setFocus();

    connect(m_ui.cmdmin, &QPushButton::clicked, this, &MainWindow::cmdmin_Click);
    connect(m_ui.cmdhelp, &QPushButton::clicked, this, &MainWindow::cmdhelp_Click);
    connect(m_ui.imgmark, &SwatchLabel::clicked, this, &MainWindow::imgmark_Click);
    connect(m_ui.cmdswap, &QPushButton::clicked, this, &MainWindow::cmdswap_Click);
    connect(m_ui.cmdabout, &QPushButton::clicked, this, &MainWindow::cmdabout_Click);
    connect(m_ui.cmdstart, &QPushButton::clicked, this, &MainWindow::cmdstart_Click);
    connect(m_ui.cmdstop, &QPushButton::clicked, this, &MainWindow::cmdstop_Click);

    connect(m_ui.cmdnext, &QPushButton::clicked, this, &MainWindow::cmdnext_Click);
    connect(m_ui.cmdpre, &QPushButton::clicked, this, &MainWindow::cmdpre_Click);
    connect(m_ui.optuser, &QRadioButton::clicked, this, &MainWindow::optuser_Click);
    connect(m_ui.optwebsafe, &QRadioButton::clicked, this, &MainWindow::optwebsafe_Click);

    for (int i = 0; i < MainWindowLayout::kSwatchCount; ++i)
        connect(m_ui.lblcor[std::size_t(i)], &SwatchLabel::mouseUp, this,
                [this, i](short button) { lblcor_MouseUp(short(i), button); });
    connect(m_ui.lblcolor, &SwatchLabel::mouseUp, this, &MainWindow::lblcolor_MouseUp);
    connect(m_ui.cmddel, &QPushButton::clicked, this, &MainWindow::cmddel_Click);
    connect(m_ui.mnuDel, &QAction::triggered, this, &MainWindow::mnuDel_Click);
    connect(m_ui.cmdclean, &QPushButton::clicked, this, &MainWindow::cmdclean_Click);

    connect(m_ui.mnucopyhex, &QAction::triggered, this, &MainWindow::mnucopyhex_Click);
    connect(m_ui.mnucopyhex1, &QAction::triggered, this, &MainWindow::mnucopyhex1_Click);
    connect(m_ui.mnucopyhex2, &QAction::triggered, this, &MainWindow::mnucopyhex2_Click);
    connect(m_ui.mnucopyhex3, &QAction::triggered, this, &MainWindow::mnucopyhex3_Click);
    connect(m_ui.mnucopyrgb, &QAction::triggered, this, &MainWindow::mnucopyrgb_Click);
    connect(m_ui.mnucopyrgb1, &QAction::triggered, this, &MainWindow::mnucopyrgb1_Click);

    for (QAbstractButton* option : m_ui.targetGroup->buttons())
        connect(option, &QAbstractButton::clicked, this, &MainWindow::targetOption_Click);
    connect(m_ui.lbltext, &SwatchLabel::clicked, this, &MainWindow::lbltext_Click);
    connect(m_ui.lbldisplay, &SwatchLabel::clicked, this, &MainWindow::lbldisplay_Click);
    connect(m_ui.lblnl, &SwatchLabel::clicked, this, &MainWindow::lblnl_Click);
    connect(m_ui.lblvl, &SwatchLabel::clicked, this, &MainWindow::lblvl_Click);
    connect(m_ui.lblal, &SwatchLabel::clicked, this, &MainWindow::lblal_Click);
    connect(m_ui.lblhl, &SwatchLabel::clicked, this, &MainWindow::lblhl_Click);
    connectColourSets();

    // The sample page's own menu, and a key for the contrast check.
    for (SwatchLabel* label :
         {m_ui.lbltext, m_ui.lblal, m_ui.lblvl, m_ui.lblnl, m_ui.lblhl, m_ui.lbldisplay}) {
        label->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(label, &QWidget::customContextMenuRequested, this,
                [this, label](QPoint at) { samplePage_ContextMenu(label->mapToGlobal(at)); });
    }
    connect(m_ui.lblcolor, &SwatchLabel::doubleClicked, this, &MainWindow::openColorDetails);
    for (const ToolCommand& command : kToolCommands)
        connect(new QShortcut(QKeySequence(Qt::CTRL | command.key), this), &QShortcut::activated,
                this, command.slot);
}

MainWindow::~MainWindow()
{
    // QWidget's destructor closes a window still shown; the focus then
    // leaving a control would call back into this window, whose own part is
    // already gone. Stop listening to the controls first.
    for (QObject* child : findChildren<QObject*>())
        child->disconnect(this);
}

void MainWindow::Form_Load()
{
    m_ui.cmdstop->setEnabled(false);
    MakeTopmost(this);
}

void MainWindow::openPalette(const char* fileName, PaletteFile::Access access)
{
    if (!m_paletteFile.open(QString::fromLatin1(fileName), access))
        qWarning("tintaro: cannot open \"%s\" in \"%s\": %s", fileName,
                 qPrintable(QDir::currentPath()), qPrintable(m_paletteFile.errorString()));
}

void MainWindow::setClientSize(int widthTwips, int heightTwips)
{
    setFixedSize(Twips::size(widthTwips, heightTwips));
}

void MainWindow::syncPaletteButtons()
{
    m_ui.cmdnext->setEnabled(m_state.nextEnabled);
    m_ui.cmdpre->setEnabled(m_state.prevEnabled);
    m_ui.cmdclean->setEnabled(m_state.cleanEnabled);
}

// Hides the selection frame and disables "Delete it": no swatch is chosen.
void MainWindow::clearSelection()
{
    m_ui.shp1->hide();
    m_ui.cmddel->setEnabled(false);
}

void MainWindow::FillPalette(std::int32_t top)
{
    m_grid.fill(m_paletteFile, top);
    for (int i = 0; i < PaletteGrid::kCells; ++i)
        m_ui.lblcor[std::size_t(i)]->setBackColor(toQColor(m_grid.color(i)));
}

void MainWindow::showReadout(ColorValue c)
{
    const ColorReadout readout = ColorReadout::of(c);
    const std::array<QLineEdit*, 8> boxes = {m_ui.txtrgb, m_ui.txtrgb1, m_ui.txtr, m_ui.txtrh,
                                             m_ui.txtg,   m_ui.txtgh,   m_ui.txtb, m_ui.txtbh};
    const std::array<QString, 8> texts = readout.inFillOrder();
    // Neighbouring pixels share most digits: a box that already shows its
    // text is left alone, which keeps a pointer movement cheap.
    for (std::size_t i = 0; i < boxes.size(); ++i)
        if (boxes[i]->text() != texts[i])
            boxes[i]->setText(texts[i]);
}

void MainWindow::openDocument(const QUrl& url)
{
    if (m_openUrl)
        m_openUrl(url);
}

// ---- Window commands -------------------------------------------------------

void MainWindow::cmdmin_Click()
{
    minimize();
}

// Its buttons were just clicked, so the window is on the screen, whatever Qt
// last heard: a restore by the window manager can go unnoticed when the
// window is hidden and shown again soon after, and Qt would take the window
// for minimised already and do nothing.
void MainWindow::minimize()
{
    forgetMinimized();
    showMinimized();
}

void MainWindow::forgetMinimized()
{
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
}

void MainWindow::cmdhelp_Click()
{
    cmdstop_Click();
    openDocument(
        QUrl::fromLocalFile(QFileInfo(QString::fromLatin1(kHelpFileName)).absoluteFilePath()));
    minimize();
}

void MainWindow::imgmark_Click()
{
    cmdstop_Click();
    openDocument(QUrl(Artwork::homePage()));
    minimize();
}

void MainWindow::cmdswap_Click()
{
    clearSelection();
    if (m_isExpanded) {
        // The sample page is out of sight when shrunk: colours go nowhere.
        m_ui.optnone->setChecked(true);
        setClientSize(MainWindowLayout::kShrunkWidth, MainWindowLayout::kShrunkHeight);
        m_isExpanded = false;
        m_ui.cmdswap->setText(QStringLiteral("Expand>>"));
    } else {
        setClientSize(MainWindowLayout::kExpandedWidth, MainWindowLayout::kExpandedHeight);
        m_isExpanded = true;
        m_ui.cmdswap->setText(QStringLiteral("Shrink<<"));
    }
}

void MainWindow::cmdabout_Click()
{
    AboutBox about(this);
    MakeTopmost(&about);
    centreOnOwner(&about, this);
    about.exec();
}

void MainWindow::Form_MouseMove()
{
    // The picking window gets no movement while the pointer is over this
    // window: its floating sample would stay behind.
    if (m_state.Picking == 1 && m_pickSession)
        m_pickSession->hideSample();
}

void MainWindow::mouseMoveEvent(QMouseEvent* event)
{
    Form_MouseMove();
    QWidget::mouseMoveEvent(event);
}

void MainWindow::enterEvent(QEnterEvent* event)
{
    // The pointer may arrive straight over a child control, which would
    // keep the move from this window: entering counts as a move.
    Form_MouseMove();
    QWidget::enterEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    event->accept();
}

void MainWindow::Form_Unload()
{
    unloadPickWindow();
    Q_EMIT unloading();
    m_paletteFile.close();
    // Leave through the application's normal shutdown, so that other windows
    // close with this one and the clipboard is handed over properly.
    QCoreApplication::quit();
}

// ---- Picking session -------------------------------------------------------

void MainWindow::setScreenGrabber(std::unique_ptr<ScreenGrabber> grabber)
{
    m_grabber = std::move(grabber);
}

void MainWindow::cmdstart_Click()
{
    // Picks always go to the user's colours.
    optuser_Click();
    m_ui.optuser->setChecked(true);
    m_state.Picking = 1;
    m_ui.cmdstart->setEnabled(false);
    m_ui.cmdmin->setEnabled(false);
    m_ui.cmdstop->setEnabled(true);

    if (!m_grabber)
        m_grabber = ScreenGrabber::create();
    unloadPickWindow();
    m_pickSession = std::make_unique<PickSession>();
    PickSession* session = m_pickSession.get();
    connect(session, &PickSession::pointerMoved, this, &MainWindow::pickWindow_MouseMove);
    connect(session, &PickSession::picked, this, &MainWindow::pickWindow_MouseUp);
    connect(session, &PickSession::stopRequested, this, &MainWindow::cmdstop_Click);
    connect(session, &PickSession::waiting, this, [this] {
        showNotice(QStringLiteral("Waiting for the desktop's screenshot. Escape or \"Stop "
                                  "picking\" cancels."));
    });
    connect(session, &PickSession::colorsOnly, this, &MainWindow::showNotice);
    connect(session, &PickSession::shown, this, [this] {
        if (m_notice)
            m_notice->hide();
        MakeTopmost(this);
        for (QWidget* tool : toolWindows())
            if (tool->isVisible())
                MakeTopmost(tool);
        // Where it cannot stay above the picking windows, they keep the
        // focus: the keys go to the screen they act on.
        if (m_grabber->traits().keepsMainWindowOnTop)
            activateWindow();
    });
    connect(session, &PickSession::failed, this, [this](const QString& reason) {
        // Nothing to pick from: the session ends before it shows anything.
        // The reason goes to the error output too, for whoever started the
        // program from a terminal.
        cmdstop_Click();
        std::fprintf(stderr, "tintaro: %s\n", qPrintable(reason));
        MessageBoxes::warning(this, reason);
    });
    // Keys for precise work reach the session whichever window has the
    // focus, and Escape stops it while the image is awaited.
    qApp->installEventFilter(this);
    PickSession::LoadSteps steps;
    steps.grabber = m_grabber.get();
    steps.delaySeconds = m_pickDelaySeconds;
    // The contrast check and the details stay out of the image, as this
    // window does, and come back with it, to follow the pointer's colours.
    steps.hideMainWindow = [this] {
        for (QWidget* tool : toolWindows())
            if (tool->isVisible()) {
                tool->hide();
                m_hiddenTools.push_back(tool);
            }
        hide();
    };
    steps.showMainWindow = [this](bool overImage) {
        // Shown as the ordinary window it was when Start was clicked.
        forgetMinimized();
        m_grabber->beforeOwnerShown(windowHandle());
        show();
        m_grabber->keepOwnerAbove(windowHandle(), overImage);
        for (QWidget* tool : std::exchange(m_hiddenTools, {})) {
            // Without the focus: the keys belong to the session.
            tool->setAttribute(Qt::WA_ShowWithoutActivating);
            tool->show();
            tool->setAttribute(Qt::WA_ShowWithoutActivating, false);
        }
    };
    steps.clearClipboard = [] { QGuiApplication::clipboard()->clear(); };
    session->Form_Load(steps);
}

void MainWindow::showNotice(const QString& text)
{
    if (!m_notice)
        m_notice = new PickNotice(this);
    m_notice->say(text);
}

PickWindow* MainWindow::pickWindow() const
{
    return m_pickSession ? m_pickSession->window() : nullptr;
}

void MainWindow::cmdstop_Click()
{
    m_state.Picking = 0;
    m_ui.cmdstop->setEnabled(false);
    m_ui.cmdmin->setEnabled(true);
    m_ui.cmdstart->setEnabled(true);
    unloadPickWindow();
}

// Releases the picking window and its image. It may be the sender of the
// signal being handled (Escape), so it goes at the next turn of the loop.
void MainWindow::unloadPickWindow()
{
    qApp->removeEventFilter(this);
    if (m_notice)
        m_notice->hide();
    for (QWidget* tool : std::exchange(m_hiddenTools, {}))
        tool->show(); // a session stopped before it showed this window again
    if (!m_pickSession)
        return;
    m_pickSession->disconnect(this);
    m_pickSession->end(); // now: the grabber may be gone by the time it is deleted
    if (m_grabber)
        m_grabber->keepOwnerAbove(windowHandle(), false);
    m_pickSession.release()->deleteLater();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    // A key pressed in this window reaches the session: taken at the widget
    // it is meant for, which sees each press once. (The picking window
    // takes no focus; where the pointer's window gets the keys, as without
    // a window manager, it handles them itself.)
    if (event->type() == QEvent::KeyPress && m_state.Picking == 1 && m_pickSession &&
        watched->isWidgetType() && static_cast<QWidget*>(watched)->window() == this) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (m_pickSession->handleKey(key->key(), key->modifiers()))
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

// The pointer moved over the image: its colour shows everywhere at once.
void MainWindow::pickWindow_MouseMove(ColorValue color)
{
    m_state.PointerColor = color;
    clearSelection();
    showCurrentColor(color);
    ApplyColorToTarget(color);
}

// A click over the image keeps its colour as the newest user colour.
void MainWindow::pickWindow_MouseUp()
{
    const ColorValue color = m_state.PointerColor;
    if (!m_paletteFile.write(m_state.UserColorCount + 1, ColorRecord::fromColor(color))) {
        MessageBoxes::warning(
            this, QStringLiteral("The colour %1 could not be kept: \"%2\" in the folder \"%3\" "
                                 "cannot be written (%4).")
                      .arg(ColorToHtml(color), QString::fromLatin1(kUserFileName),
                           QDir::toNativeSeparators(QDir::currentPath()),
                           m_paletteFile.isOpen() ? m_paletteFile.errorString()
                                                  : QStringLiteral("it could not be opened")));
        return;
    }
    m_state.picked();
    syncPaletteButtons();
    FillPalette(m_state.UserPagePos);
    m_ui.shpnew->setFillColor(toQColor(color));
}

// ---- Paging and palette switch -------------------------------------------

void MainWindow::cmdnext_Click()
{
    m_state.next();
    showTurnedPage();
}

void MainWindow::cmdpre_Click()
{
    m_state.previous();
    showTurnedPage();
}

// After a page change: no swatch stays chosen ("Delete it" is hidden with
// the web-safe palette, and left alone there).
void MainWindow::showTurnedPage()
{
    m_ui.shp1->hide();
    if (!m_state.ShowingWebSafe)
        m_ui.cmddel->setEnabled(false);
    FillPalette(m_state.pageTop());
    syncPaletteButtons();
}

void MainWindow::optuser_Click()
{
    m_state.showUser();
    syncPaletteButtons();
    openPalette(kUserFileName, PaletteFile::Access::ReadWrite);
    FillPalette(m_state.UserPagePos);
    clearSelection();
    m_ui.cmddel->setVisible(true);
    m_ui.cmdclean->setVisible(true);
    m_ui.mnuDel->setVisible(true);
    m_ui.mnusep->setVisible(true);
}

void MainWindow::optwebsafe_Click()
{
    m_state.showWebSafe();
    syncPaletteButtons();
    openPalette(kWebSafeFileName, PaletteFile::Access::ReadOnly);
    FillPalette(m_state.WebSafePagePos);
    // Picks always go to the user's file: no session runs over this palette.
    cmdstop_Click();
    clearSelection();
    m_ui.cmddel->setVisible(false);
    m_ui.cmdclean->setVisible(false);
    m_ui.mnuDel->setVisible(false);
    m_ui.mnusep->setVisible(false);
}

// ---- Swatches and the popup menu -----------------------------------------

void MainWindow::lblcor_MouseUp(short index, short button)
{
    if (index < 0 || index >= MainWindowLayout::kSwatchCount)
        return;
    m_ui.lstCorset->setCurrentRow(-1);
    m_ui.lstCorset->clearSelection();
    m_ui.cmdDelItem->setEnabled(false);
    m_selectedRecord = m_grid.cellRecord(index);
    m_ui.shp1->show();
    m_ui.cmddel->setEnabled(m_selectedRecord > 0);
    m_ui.mnuDel->setEnabled(m_selectedRecord > 0);
    m_ui.shp1->setGeometry(MainWindowLayout::selectionFrameRect(index));

    const SwatchLabel* swatch = m_ui.lblcor[std::size_t(index)];
    const ColorValue c = fromQColor(swatch->backColor());
    showCurrentColor(c);
    ApplyColorToTarget(c);
    if (button == 2) {
        relabelCopyEntries();
        popUpMenu();
    }
}

void MainWindow::lblcolor_MouseUp(short button)
{
    if (button == 2) {
        // The large swatch is no record: nothing there to delete.
        m_ui.mnuDel->setVisible(false);
        m_ui.mnusep->setVisible(false);
        relabelCopyEntries();
        popUpMenu();
    }
    if (m_ui.optuser->isChecked()) {
        m_ui.mnuDel->setVisible(true);
        m_ui.mnusep->setVisible(true);
    }
}

void MainWindow::relabelCopyEntries()
{
    const QString html = m_ui.txtrgb->text();
    const QString digits = hexDigits();
    const QString triple = m_ui.txtrgb1->text();
    const QString hex = QStringLiteral("Copy HEX - Format: ");
    const QString rgb = QStringLiteral("Copy RGB - Format: ");
    const QChar quote = QLatin1Char('"');
    m_ui.mnucopyhex->setText(hex + html);
    m_ui.mnucopyhex1->setText(hex + digits);
    m_ui.mnucopyhex2->setText(hex + quote + html + quote);
    m_ui.mnucopyhex3->setText(hex + quote + digits + quote);
    m_ui.mnucopyrgb->setText(rgb + triple);
    m_ui.mnucopyrgb1->setText(rgb + QStringLiteral("RGB(") + triple + QLatin1Char(')'));
}

void MainWindow::popUpMenu()
{
    Q_EMIT popupMenuAboutToShow();
    m_ui.mnuPop->exec(QCursor::pos());
}

// The digits of the hexadecimal box: all of it but its first character.
QString MainWindow::hexDigits() const
{
    const QString html = m_ui.txtrgb->text();
    return html.right(html.size() - 1);
}

// ---- Copy formats ----------------------------------------------------------

void MainWindow::copyText(const QString& text)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

void MainWindow::mnucopyhex_Click()
{
    copyText(m_ui.txtrgb->text());
}

void MainWindow::mnucopyhex1_Click()
{
    copyText(hexDigits());
}

void MainWindow::mnucopyhex2_Click()
{
    copyText(QLatin1Char('"') + m_ui.txtrgb->text() + QLatin1Char('"'));
}

void MainWindow::mnucopyhex3_Click()
{
    copyText(QLatin1Char('"') + hexDigits() + QLatin1Char('"'));
}

void MainWindow::mnucopyrgb_Click()
{
    copyText(m_ui.txtrgb1->text());
}

void MainWindow::mnucopyrgb1_Click()
{
    copyText(QStringLiteral("RGB(") + m_ui.txtrgb1->text() + QLatin1Char(')'));
}

// ---- User colour upkeep ----------------------------------------------------

void MainWindow::mnuDel_Click()
{
    cmddel_Click();
}

void MainWindow::cmddel_Click()
{
    if (m_selectedRecord <= 0 || m_state.ShowingWebSafe)
        return;
    const std::int32_t doomed = m_selectedRecord;
    const RecordRewriter::Result result = RecordRewriter::rewrite(
        m_paletteFile, m_state.UserColorCount,
        [doomed](std::int32_t n, const ColorRecord&) { return n != doomed; });
    if (!result.ok) {
        MessageBoxes::warning(
            this, QStringLiteral("The colour could not be deleted.\n\n%1").arg(result.error));
        FillPalette(m_state.UserPagePos);
        return;
    }
    m_state.deleted();
    FillPalette(m_state.UserPagePos);
    syncPaletteButtons();
    clearSelection();
}

void MainWindow::cmdclean_Click()
{
    if (m_state.UserColorCount < 2 || m_state.ShowingWebSafe)
        return;
    // The oldest of equal records survives; records are equal when their
    // six bytes are, letter case included.
    std::unordered_set<std::uint64_t> seen;
    seen.reserve(std::size_t(qMin<std::int32_t>(m_state.UserColorCount, 1 << 20)));
    const RecordRewriter::Result result = RecordRewriter::rewrite(
        m_paletteFile, m_state.UserColorCount, [&seen](std::int32_t, const ColorRecord& r) {
            std::uint64_t key = 0;
            std::memcpy(&key, r.bytes.data(), r.bytes.size());
            return seen.insert(key).second;
        });
    if (!result.ok) {
        MessageBoxes::warning(
            this,
            QStringLiteral("The duplicate colours could not be removed.\n\n%1").arg(result.error));
        FillPalette(m_state.UserPagePos);
        return;
    }
    m_state.cleaned(result.written);
    FillPalette(m_state.UserPagePos);
    syncPaletteButtons();
    clearSelection();
}

// ---- Sample page and colour targets ---------------------------------------

void MainWindow::ApplyColorToTarget(ColorValue c)
{
    using F = ColorSetRecord::Field;
    const std::pair<QRadioButton*, F> targets[] = {
        {m_ui.opttext, F::Text},      {m_ui.optbg, F::Background}, {m_ui.optnl, F::NormalLink},
        {m_ui.optvl, F::VisitedLink}, {m_ui.optal, F::ActiveLink}, {m_ui.opthl, F::HoverLink}};
    for (const auto& [option, element] : targets)
        if (option->isChecked()) {
            setSchemeColor(element, c);
            return;
        }
}

// One element of the sample page takes `c`; the background is all six labels'.
void MainWindow::setSchemeColor(ColorSetRecord::Field element, ColorValue c)
{
    const QColor color = toQColor(c);
    switch (element) {
    case ColorSetRecord::Text:
        m_ui.lbltext->setForeColor(color);
        break;
    case ColorSetRecord::Background:
        setSchemeBackground(color);
        break;
    case ColorSetRecord::NormalLink:
        m_ui.lblnl->setForeColor(color);
        break;
    case ColorSetRecord::VisitedLink:
        m_ui.lblvl->setForeColor(color);
        break;
    case ColorSetRecord::ActiveLink:
        m_ui.lblal->setForeColor(color);
        break;
    case ColorSetRecord::HoverLink:
        m_ui.lblhl->setForeColor(color);
        break;
    case ColorSetRecord::kFieldCount:
        return;
    }
    m_schemeUnknown[element] = false;
    schemeChanged();
}

SchemeCheck::Scheme MainWindow::checkedScheme() const
{
    const std::array<ColorValue, 6> colors = schemeColors();
    SchemeCheck::Scheme scheme;
    for (std::size_t i = 0; i < colors.size(); ++i)
        if (!m_schemeUnknown[i])
            scheme[i] = colors[i];
    return scheme;
}

// The contrast check follows every change of the scheme while it is shown.
void MainWindow::schemeChanged()
{
    if (m_contrast && m_contrast->isVisible())
        m_contrast->setScheme(checkedScheme());
}

void MainWindow::samplePage_ContextMenu(const QPoint& globalPos)
{
    if (!m_samplePageMenu) {
        m_samplePageMenu = new QMenu(this);
        m_samplePageMenu->setObjectName(QStringLiteral("mnuSamplePage"));
        for (const ToolCommand& entry : kToolCommands) {
            QAction* action = m_samplePageMenu->addAction(QString::fromLatin1(entry.text));
            action->setObjectName(QString::fromLatin1(entry.name));
            // Shown as a hint; the window's own shortcuts do the work.
            action->setShortcut(QKeySequence(Qt::CTRL | entry.key));
            connect(action, &QAction::triggered, this, entry.slot);
        }
    }
    m_samplePageMenu->popup(globalPos);
}

void MainWindow::openContrastCheck()
{
    if (!m_contrast) {
        m_contrast = new ContrastWindow(this);
        connect(m_contrast, &ContrastWindow::proposalChosen, this, &MainWindow::useProposal);
        placeBeside(m_contrast, this, visibleOnes({m_details}));
    }
    m_contrast->setScheme(checkedScheme());
    m_contrast->show();
    MakeTopmost(m_contrast);
    m_contrast->activateWindow();
}

void MainWindow::openColorDetails()
{
    if (!m_details) {
        m_details = new ColorDetailsWindow(this);
        connect(m_details, &ColorDetailsWindow::copyRequested, this, &MainWindow::copyText);
        // Clear of the contrast check where that is open: neither hides the other.
        placeBeside(m_details, this, visibleOnes({m_contrast}));
    }
    m_details->setColor(fromQColor(m_ui.lblcolor->backColor()));
    m_details->show();
    MakeTopmost(m_details);
    m_details->activateWindow();
}

void MainWindow::openExport()
{
    cmdstop_Click();
    ExportDialog dialog(this);
    MakeTopmost(&dialog);
    centreOnOwner(&dialog, this);
    dialog.exec();
}

void MainWindow::importColours()
{
    cmdstop_Click();
    const std::optional<QString> path = MessageBoxes::fileName(
        this, MessageBoxes::FileRole::Open, QStringLiteral("Import colours"), QDir::homePath(),
        QStringLiteral("Palettes (*.gpl *.ase);;All files (*)"));
    if (!path)
        return;
    const ImportResult read = PaletteImport::importPaletteFile(*path);
    if (!read.ok) {
        MessageBoxes::warning(this, read.error + QStringLiteral("\n\nNo colour was imported."));
        return;
    }
    if (read.colors.empty()) {
        MessageBoxes::warning(this, QStringLiteral("\"%1\" holds no colours: nothing was imported.")
                                        .arg(QDir::toNativeSeparators(*path)));
        return;
    }
    // They join the user's colours, which the grid then shows.
    if (!m_ui.optuser->isChecked()) {
        m_ui.optuser->setChecked(true);
        optuser_Click();
    }
    QByteArray appended;
    appended.reserve(qsizetype(read.colors.size()) * ColorRecord::kSize);
    for (const ColorValue c : read.colors) {
        const ColorRecord record = ColorRecord::fromColor(c);
        appended.append(record.bytes.data(), ColorRecord::kSize);
    }
    const RecordRewriter::Result result = RecordRewriter::rewrite(
        m_paletteFile, m_state.UserColorCount,
        [](std::int32_t, const ColorRecord&) { return true; }, appended);
    if (!result.ok) {
        MessageBoxes::warning(
            this, QStringLiteral("The colours could not be imported.\n\n%1").arg(result.error));
        FillPalette(m_state.UserPagePos);
        return;
    }
    m_state.grown(result.written);
    FillPalette(m_state.UserPagePos);
    syncPaletteButtons();
    clearSelection();
}

// A passing colour chosen in the contrast check reaches its element as a
// swatch's colour reaches the target: it becomes the current colour too.
void MainWindow::useProposal(SchemeCheck::Element element, ColorValue color)
{
    showCurrentColor(color);
    clearSelection();
    setSchemeColor(element, color);
}

void MainWindow::setSchemeBackground(const QColor& color)
{
    for (SwatchLabel* label :
         {m_ui.lbltext, m_ui.lblal, m_ui.lblvl, m_ui.lblnl, m_ui.lblhl, m_ui.lbldisplay})
        label->setBackColor(color);
}

std::array<ColorValue, 6> MainWindow::schemeColors() const
{
    return {fromQColor(m_ui.lbltext->foreColor()), fromQColor(m_ui.lbltext->backColor()),
            fromQColor(m_ui.lblnl->foreColor()),   fromQColor(m_ui.lblvl->foreColor()),
            fromQColor(m_ui.lblal->foreColor()),   fromQColor(m_ui.lblhl->foreColor())};
}

// Every target option, "Hover link" included, leaves no swatch chosen: the
// next colour is meant for the new target.
void MainWindow::targetOption_Click()
{
    clearSelection();
}

void MainWindow::showElementColor(const QColor& color)
{
    showCurrentColor(fromQColor(color));
    clearSelection();
}

// The large swatch, the readout and the details show the current colour.
void MainWindow::showCurrentColor(ColorValue c)
{
    m_ui.lblcolor->setBackColor(toQColor(c));
    showReadout(c);
    if (m_details)
        m_details->setColor(c);
}

std::vector<QWidget*> MainWindow::toolWindows() const
{
    std::vector<QWidget*> tools;
    for (QWidget* tool : {static_cast<QWidget*>(m_contrast), static_cast<QWidget*>(m_details)})
        if (tool)
            tools.push_back(tool);
    return tools;
}

void MainWindow::lbltext_Click()
{
    showElementColor(m_ui.lbltext->foreColor());
}
void MainWindow::lbldisplay_Click()
{
    showElementColor(m_ui.lbldisplay->backColor());
}
void MainWindow::lblnl_Click()
{
    showElementColor(m_ui.lblnl->foreColor());
}
void MainWindow::lblvl_Click()
{
    showElementColor(m_ui.lblvl->foreColor());
}
void MainWindow::lblal_Click()
{
    showElementColor(m_ui.lblal->foreColor());
}
void MainWindow::lblhl_Click()
{
    showElementColor(m_ui.lblhl->foreColor());
}

// ---- Colour sets and code view ----

void MainWindow::connectColourSets()
{
    connect(m_ui.cmdSave, &QPushButton::clicked, this, &MainWindow::cmdSave_Click);
    // A choice by mouse or keyboard changes the selection once; the list
    // merely gaining the focus, or the current row moving without a
    // selection, is no choice.
    connect(m_ui.lstCorset, &QListWidget::itemSelectionChanged, this, &MainWindow::lstCorset_Click);
    connect(new FocusWatcher(m_ui.lstCorset), &FocusWatcher::focusOut, this,
            &MainWindow::lstCorset_LostFocus);
    connect(m_ui.cmdDelItem, &QPushButton::clicked, this, &MainWindow::cmdDelItem_Click);
    connect(new FocusWatcher(m_ui.cmdDelItem), &FocusWatcher::focusIn, this,
            &MainWindow::cmdDelItem_GotFocus);
    connect(m_ui.cmdcss, &QPushButton::clicked, this, &MainWindow::cmdcss_Click);
}

void MainWindow::cmdSave_Click()
{
    const std::optional<QString> answer =
        MessageBoxes::inputText(this, QStringLiteral("Please input a name:"),
                                QStringLiteral("Input name"), QStringLiteral("scheme1"));
    if (!answer || answer->isEmpty())
        return;
    const QString name = answer->trimmed().isEmpty() ? QStringLiteral("no name") : *answer;
    const ColorSetStore::Result saved =
        m_colorSets.save(name, ColorSetRecord::fromColors(schemeColors()));
    if (!saved.ok) {
        MessageBoxes::warning(this, saved.error);
        return;
    }
    // The list shows what the next start will read back.
    m_ui.lstCorset->addItem(saved.name);
}

void MainWindow::lstCorset_Click()
{
    const QModelIndexList chosen = m_ui.lstCorset->selectionModel()->selectedIndexes();
    if (chosen.isEmpty())
        return;
    const std::int32_t position = chosen.constFirst().row();
    clearSelection();
    m_ui.cmdDelItem->setEnabled(position >= 1); // the first set stays
    m_selectedSetIndex = position;

    // A field the file does not give leaves its colour as it is, and the
    // contrast check counts it unknown.
    const ColorSetRecord record = m_colorSets.read(position);
    const auto known = record.knownColors();
    for (std::size_t f = 0; f < known.size(); ++f)
        m_schemeUnknown[f] = !known[f];
    if (const auto c = record.color(ColorSetRecord::Text))
        m_ui.lbltext->setForeColor(toQColor(*c));
    if (const auto c = record.color(ColorSetRecord::Background))
        setSchemeBackground(toQColor(*c));
    const std::pair<ColorSetRecord::Field, SwatchLabel*> links[] = {
        {ColorSetRecord::NormalLink, m_ui.lblnl},
        {ColorSetRecord::VisitedLink, m_ui.lblvl},
        {ColorSetRecord::ActiveLink, m_ui.lblal},
        {ColorSetRecord::HoverLink, m_ui.lblhl}};
    for (const auto& [field, label] : links)
        if (const auto c = record.color(field))
            label->setForeColor(toQColor(*c));
    schemeChanged();
}

void MainWindow::lstCorset_LostFocus(Qt::FocusReason reason)
{
    // Another window coming to the front, or a menu opening, leaves the
    // focus where it is within this window.
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
        return;
    m_ui.lstCorset->setCurrentRow(-1);
    m_ui.lstCorset->clearSelection();
    // A press on "Delete this item" takes the focus from the list on its way
    // to the click that deletes: the button must stay live for it.
    if (QApplication::focusWidget() != m_ui.cmdDelItem)
        m_ui.cmdDelItem->setEnabled(false);
}

// One press deletes once. A mouse press or a shortcut gives the button the
// focus and then clicks it: the click deletes. Tab and Shift+Tab give the
// focus with no click to follow: the focus deletes, once the key is done.
void MainWindow::cmdDelItem_GotFocus(Qt::FocusReason reason)
{
    if (reason != Qt::TabFocusReason && reason != Qt::BacktabFocusReason)
        return;
    if (m_deleteOnFocusPending)
        return;
    m_deleteOnFocusPending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_deleteOnFocusPending = false;
            deleteChosenSet();
        },
        Qt::QueuedConnection);
}

void MainWindow::cmdDelItem_Click()
{
    if (m_deleteOnFocusPending)
        return; // the focus of this same press is about to ask
    deleteChosenSet();
}

void MainWindow::deleteChosenSet()
{
    const std::int32_t s = m_selectedSetIndex;
    if (!m_ui.cmdDelItem->isEnabled() || s < 1 || s >= m_ui.lstCorset->count())
        return;
    const QString name = m_ui.lstCorset->item(s)->text();
    const QChar quote = QLatin1Char('"');
    if (MessageBoxes::okCancel(this, QStringLiteral("Do you really want to delete ") + quote +
                                         name + quote + QLatin1Char('?')) != QMessageBox::Ok)
        return;
    const ColorSetStore::Result removed = m_colorSets.remove(s);
    if (!removed.ok) {
        MessageBoxes::warning(this, removed.error);
        return;
    }
    // No entry may stay chosen while the list closes up: the next one would
    // become a choice and repaint the page.
    m_ui.lstCorset->setCurrentRow(-1);
    m_ui.lstCorset->clearSelection();
    delete m_ui.lstCorset->takeItem(s);
    m_ui.cmdDelItem->setEnabled(false);
}

void MainWindow::cmdcss_Click()
{
    CodeView view(schemeColors(), this);
    MakeTopmost(&view);
    centreOnOwner(&view, this);
    view.exec();
}

} // namespace tintaro
