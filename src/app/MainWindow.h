#pragma once

#include "AppState.h"
#include "ColorValue.h"
#include "MainWindowLayout.h"
#include "PaletteFile.h"
#include "PaletteGrid.h"

#include <QStringList>
#include <QUrl>
#include <QWidget>

#include <functional>

namespace tintaro {

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

    // How documents and web addresses reach the user's browser; tests
    // replace it to see what would have been opened.
    using UrlOpener = std::function<void(const QUrl&)>;
    void setUrlOpener(UrlOpener opener) { m_openUrl = std::move(opener); }

    // Shows the colour readout of `c` in the eight value boxes.
    void showReadout(ColorValue c);

    // Fills the 144 swatches from the open palette file, given a page top.
    void FillPalette(std::int32_t top);

public Q_SLOTS:
    void cmdmin_Click();
    void cmdhelp_Click();
    void imgmark_Click();
    void cmdswap_Click();
    void cmdabout_Click();
    void cmdstop_Click();
    void Form_MouseMove();

Q_SIGNALS:
    // The picking window listens: its floating sample hides while the
    // pointer is over this window.
    void pickSampleHideRequested();
    // Sent as the window unloads, before the palette file closes.
    void unloading();

protected:
    void closeEvent(QCloseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;

private:
    void Form_Load();
    void Form_Unload();
    void openUserPalette();
    void setClientSize(int widthTwips, int heightTwips);
    void openDocument(const QUrl& url);

    MainWindowLayout m_ui;
    AppState m_state;
    PaletteFile m_paletteFile;
    PaletteGrid m_grid;
    bool m_isExpanded = false;
    UrlOpener m_openUrl;
};

} // namespace tintaro
