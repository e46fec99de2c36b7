#pragma once

#include "AppState.h"
#include "ColorSetStore.h"
#include "ColorValue.h"
#include "MainWindowLayout.h"
#include "PaletteFile.h"
#include "PaletteGrid.h"
#include "SchemeCheck.h"

#include <QStringList>
#include <QUrl>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class QMenu;
class QRadioButton;

namespace tintaro {

class ColorDetailsWindow;
class ContrastWindow;
class PickNotice;
class PickSession;
class PickWindow;
class ScreenGrabber;
class SwatchLabel;

// The main window: the current colour and its values, the commands, and
// (expanded) the sample page, the colour sets, the target options and the
// palette grid. Event handlers are named after the control and event they
// answer.
class MainWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr const char* kTitle = "Tintaro2.0";
    static constexpr const char* kUserFileName = "mycolor.rgb";
    static constexpr const char* kWebSafeFileName = "websafe.rgb";
    static constexpr const char* kHelpFileName = "help.htm";

    // Builds the window's whole state from the colour-set names and the
    // user's colour file in the current directory; shows nothing.
    explicit MainWindow(const QStringList& setNames, QWidget* parent = nullptr);
    ~MainWindow() override;

    const AppState& state() const { return m_state; }
    bool isExpanded() const { return m_isExpanded; }
    const PaletteGrid& grid() const { return m_grid; }
    const MainWindowLayout& controls() const { return m_ui; }
    std::int32_t selectedRecord() const { return m_selectedRecord; }
    std::int32_t selectedSetIndex() const { return m_selectedSetIndex; }

    // How documents and web addresses reach the user's browser; tests
    // replace it to see what would have been opened.
    using UrlOpener = std::function<void(const QUrl&)>;
    void setUrlOpener(UrlOpener opener) { m_openUrl = std::move(opener); }

    // How the screen image is taken, and how long the program waits before
    // taking it; tests hand in images of their own and need not wait.
    void setScreenGrabber(std::unique_ptr<ScreenGrabber> grabber);
    void setPickDelay(int seconds) { m_pickDelaySeconds = seconds; }
    // The picking window while a session runs, else null.
    PickWindow* pickWindow() const;
    PickSession* pickSession() const { return m_pickSession.get(); }

    // Shows the colour readout of `c` in the eight value boxes.
    void showReadout(ColorValue c);

    // Fills the 144 swatches from the open palette file, given a page top.
    void FillPalette(std::int32_t top);

    // Gives `c` to the sample page element chosen by the target options.
    void ApplyColorToTarget(ColorValue c);

    // The six colours of the sample page, in set order: text, background,
    // normal, visited, active and hover link.
    std::array<ColorValue, 6> schemeColors() const;
    // The same for the contrast check: a colour that a damaged saved set
    // left unknown is none, until the element gets a colour again.
    SchemeCheck::Scheme checkedScheme() const;

    // The contrast window, once opened; and the sample page's own menu,
    // once it was asked for.
    ContrastWindow* contrastWindow() const { return m_contrast; }
    QMenu* samplePageMenu() const { return m_samplePageMenu; }
    // "Colour details", once opened.
    ColorDetailsWindow* detailsWindow() const { return m_details; }

public Q_SLOTS:
    void cmdmin_Click();
    void cmdhelp_Click();
    void imgmark_Click();
    void cmdswap_Click();
    void cmdabout_Click();
    void cmdstart_Click();
    void cmdstop_Click();
    void Form_MouseMove();

    void cmdnext_Click();
    void cmdpre_Click();
    void optuser_Click();
    void optwebsafe_Click();

    void lblcor_MouseUp(short index, short button);
    void lblcolor_MouseUp(short button);
    void cmddel_Click();
    void mnuDel_Click();
    void cmdclean_Click();

    void mnucopyhex_Click();
    void mnucopyhex1_Click();
    void mnucopyhex2_Click();
    void mnucopyhex3_Click();
    void mnucopyrgb_Click();
    void mnucopyrgb1_Click();

    void targetOption_Click();
    void lbltext_Click();
    void lbldisplay_Click();
    void lblnl_Click();
    void lblvl_Click();
    void lblal_Click();
    void lblhl_Click();

    // Colour sets and code view.
    void cmdSave_Click();
    void lstCorset_Click();
    void lstCorset_LostFocus(Qt::FocusReason reason);
    void cmdDelItem_Click();
    void cmdDelItem_GotFocus(Qt::FocusReason reason);
    void cmdcss_Click();

    // Opens "Contrast check" (the sample page's menu, Ctrl+K), or brings
    // it to the front.
    void openContrastCheck();
    // Opens "Colour details" (a double click on the current colour, Ctrl+D),
    // or brings it to the front.
    void openColorDetails();
    // "Export colours" (Ctrl+E) and the import of a palette file into the
    // user's colours (Ctrl+I); both from the sample page's menu too. Each
    // ends a picking session first: its file chooser must not open beneath
    // the frozen screen.
    void openExport();
    void importColours();

Q_SIGNALS:
    // Sent as the window unloads, before the palette file closes.
    void unloading();
    // Sent just before the swatches' menu opens, and as it closes.
    void popupMenuAboutToShow();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;

private:
    void minimize();
    void forgetMinimized();
    void pickWindow_MouseMove(ColorValue color);
    void pickWindow_MouseUp();
    void unloadPickWindow();
    // A line beside this window about the session (PickNotice).
    void showNotice(const QString& text);
    void Form_Load();
    void Form_Unload();
    void openPalette(const char* fileName, PaletteFile::Access access);
    void setClientSize(int widthTwips, int heightTwips);
    void openDocument(const QUrl& url);
    void syncPaletteButtons();
    void showTurnedPage();
    void clearSelection();
    void relabelCopyEntries();
    void popUpMenu();
    void copyText(const QString& text);
    QString hexDigits() const;
    void showElementColor(const QColor& color);
    void showCurrentColor(ColorValue c);
    std::vector<QWidget*> toolWindows() const;
    void setSchemeBackground(const QColor& color);
    void setSchemeColor(ColorSetRecord::Field element, ColorValue c);
    void schemeChanged();
    void samplePage_ContextMenu(const QPoint& globalPos);
    void useProposal(SchemeCheck::Element element, ColorValue color);

    // Colour sets and code view.
    void connectColourSets();
    void deleteChosenSet();
    ColorSetStore m_colorSets;
    std::int32_t m_selectedSetIndex = 0; // SelectedSetIndex: the list position chosen last
    bool m_deleteOnFocusPending = false; // the focus came by Tab; its deletion is queued

    MainWindowLayout m_ui;
    AppState m_state;
    PaletteFile m_paletteFile;
    PaletteGrid m_grid;
    bool m_isExpanded = false;
    std::int32_t m_selectedRecord = 0; // SelectedRecord: the record of the swatch last clicked
    UrlOpener m_openUrl;
    std::unique_ptr<ScreenGrabber> m_grabber;
    std::unique_ptr<PickSession> m_pickSession; // frmGetColor, only while picking
    PickNotice* m_notice = nullptr;             // made when first needed
    int m_pickDelaySeconds = 1;

    // The contrast check, made on first use.
    ContrastWindow* m_contrast = nullptr;
    QMenu* m_samplePageMenu = nullptr;
    ColorDetailsWindow* m_details = nullptr;
    // The contrast check and the details, hidden while the screen's image is taken.
    std::vector<QWidget*> m_hiddenTools;
    std::array<bool, ColorSetRecord::kFieldCount> m_schemeUnknown{};
};

} // namespace tintaro
