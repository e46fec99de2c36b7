#include "MainWindow.h"

#include "AboutBox.h"
#include "Artwork.h"
#include "Fonts.h"
#include "ShapeWidget.h"
#include "SwatchLabel.h"
#include "Topmost.h"
#include "Twips.h"

#include "ColorReadout.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace tintaro {

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

    m_state.ShowingWebSafe = 0;
    m_state.WebSafePagePos = PaletteFile::kWebSafeCount;
    m_state.Picking = 0;
    m_ui.optnone->setChecked(true);
    setClientSize(MainWindowLayout::kShrunkWidth, MainWindowLayout::kShrunkHeight);
    m_ui.shp1->hide();
    m_ui.cmddel->setEnabled(false);

    m_ui.createSwatches();
    m_ui.placeGrid();
    m_isExpanded = false;

    openUserPalette();
    m_state.UserColorCount = m_paletteFile.countRecords();
    if (m_state.UserColorCount < 2)
        m_ui.cmdclean->setEnabled(false);
    m_ui.cmdpre->setEnabled(false);
    m_state.UserPagePos = m_state.UserColorCount;
    FillPalette(m_state.UserPagePos);
    if (m_state.UserColorCount <= PaletteGrid::kCells)
        m_ui.cmdnext->setEnabled(false);
    m_state.UserNextEnabled = m_ui.cmdnext->isEnabled() ? 1 : 0;
    m_state.UserPrevEnabled = 0;
    m_state.WebSafePrevEnabled = 0;
    m_state.WebSafeNextEnabled = 1;

    m_ui.setTabOrder();
    m_ui.cmdstart->setFocus();

    connect(m_ui.cmdmin, &QPushButton::clicked, this, &MainWindow::cmdmin_Click);
    connect(m_ui.cmdhelp, &QPushButton::clicked, this, &MainWindow::cmdhelp_Click);
    connect(m_ui.imgmark, &SwatchLabel::clicked, this, &MainWindow::imgmark_Click);
    connect(m_ui.cmdswap, &QPushButton::clicked, this, &MainWindow::cmdswap_Click);
    connect(m_ui.cmdabout, &QPushButton::clicked, this, &MainWindow::cmdabout_Click);
    connect(m_ui.cmdstop, &QPushButton::clicked, this, &MainWindow::cmdstop_Click);
}

MainWindow::~MainWindow() = default;

void MainWindow::Form_Load()
{
    m_ui.cmdstop->setEnabled(false);
    MakeTopmost(this);
}

void MainWindow::openUserPalette()
{
    if (!m_paletteFile.open(QString::fromLatin1(kUserFileName), PaletteFile::Access::ReadWrite))
        qWarning("tintaro: cannot open \"%s\" in \"%s\": %s", kUserFileName,
                 qPrintable(QDir::currentPath()), qPrintable(m_paletteFile.errorString()));
}

void MainWindow::setClientSize(int widthTwips, int heightTwips)
{
    setFixedSize(Twips::size(widthTwips, heightTwips));
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
    m_ui.txtrgb->setText(readout.txtrgb);
    m_ui.txtrgb1->setText(readout.txtrgb1);
    m_ui.txtr->setText(readout.txtr);
    m_ui.txtrh->setText(readout.txtrh);
    m_ui.txtg->setText(readout.txtg);
    m_ui.txtgh->setText(readout.txtgh);
    m_ui.txtb->setText(readout.txtb);
    m_ui.txtbh->setText(readout.txtbh);
}

void MainWindow::openDocument(const QUrl& url)
{
    if (m_openUrl)
        m_openUrl(url);
}

void MainWindow::cmdmin_Click() { showMinimized(); }

void MainWindow::cmdhelp_Click()
{
    cmdstop_Click();
    openDocument(QUrl::fromLocalFile(QFileInfo(QString::fromLatin1(kHelpFileName)).absoluteFilePath()));
    showMinimized();
}

void MainWindow::imgmark_Click()
{
    cmdstop_Click();
    openDocument(QUrl(Artwork::homePage()));
    showMinimized();
}

void MainWindow::cmdswap_Click()
{
    m_ui.shp1->hide();
    m_ui.cmddel->setEnabled(false);
    if (m_isExpanded) {
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
    about.exec();
}

void MainWindow::cmdstop_Click()
{
    m_state.Picking = 0;
    m_ui.cmdstop->setEnabled(false);
    m_ui.cmdmin->setEnabled(true);
    m_ui.cmdstart->setEnabled(true);
}

void MainWindow::Form_MouseMove()
{
    if (m_state.Picking == 1)
        Q_EMIT pickSampleHideRequested();
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
    Q_EMIT unloading();
    m_paletteFile.close();
    // Leave through the application's normal shutdown, so that other windows
    // close with this one and the clipboard is handed over properly.
    QCoreApplication::quit();
}

} // namespace tintaro
