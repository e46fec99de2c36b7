#pragma once

#include <QRect>
#include <QString>

#include <array>

class QAction;
class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QRadioButton;
class QWidget;

namespace tintaro {

class ShapeWidget;
class SwatchLabel;

// Every control of the main window, placed as its layout table gives it,
// with captions, colours, fonts, tool tips and stacking; no behaviour.
class MainWindowLayout
{
public:
    static constexpr int kSwatchCount = 144;

    // Client sizes in twips: the window manager owns the frame.
    static constexpr int kShrunkWidth = 3310;
    static constexpr int kShrunkHeight = 3225;
    static constexpr int kExpandedWidth = 7290;
    static constexpr int kExpandedHeight = 6075;

    // The address shown after the four link captions of the sample page.
    static QString sampleLinkAddress();

    // Builds every control as a child of `form`, swatch 0 only: the other
    // 143 are made by createSwatches(), as start-up does.
    explicit MainWindowLayout(QWidget* form);

    // Creates swatches 1..143 as copies of swatch 0 (hidden) and returns them.
    void createSwatches();

    // Places swatch i at its cell (steps taken from swatch 0) and the page
    // buttons under the first and last columns.
    void placeGrid();

    // Swatch i's place in twips: column i / 8, row i % 8, neighbours
    // sharing their border twip.
    static QRect swatchTwips(int index);

    // Where the selection frame stands round swatch i, in pixels: two twips
    // left of and above the swatch, in its own size.
    static QRect selectionFrameRect(int index);

    // Sets the keyboard focus order of the window.
    void setTabOrder();

    // Current colour and its values.
    SwatchLabel* lblcolor = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* txtrgb1 = nullptr;
    QLineEdit* txtrgb = nullptr;
    QLineEdit* txtr = nullptr;
    QLineEdit* txtrh = nullptr;
    QLineEdit* txtg = nullptr;
    QLineEdit* txtgh = nullptr;
    QLineEdit* txtb = nullptr;
    QLineEdit* txtbh = nullptr;
    ShapeWidget* shpnew = nullptr;

    // Logo and commands.
    SwatchLabel* imgmark = nullptr;
    QPushButton* cmdstart = nullptr;
    QPushButton* cmdstop = nullptr;
    QPushButton* cmdmin = nullptr;
    QPushButton* cmdhelp = nullptr;
    QPushButton* cmdabout = nullptr;
    QPushButton* cmdswap = nullptr;

    // Sample page.
    SwatchLabel* lbldisplay = nullptr;
    SwatchLabel* lbltext = nullptr;
    SwatchLabel* lblnl = nullptr;
    SwatchLabel* lblvl = nullptr;
    SwatchLabel* lblal = nullptr;
    SwatchLabel* lblhl = nullptr;

    // Colour sets.
    QListWidget* lstCorset = nullptr;
    QPushButton* cmdDelItem = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdcss = nullptr;

    // Colour target.
    QGroupBox* Frame1 = nullptr;
    QButtonGroup* targetGroup = nullptr;
    QRadioButton* opttext = nullptr;
    QRadioButton* optbg = nullptr;
    QRadioButton* optnl = nullptr;
    QRadioButton* optvl = nullptr;
    QRadioButton* optal = nullptr;
    QRadioButton* opthl = nullptr;
    QRadioButton* optnone = nullptr;

    // Palette.
    QPushButton* cmddel = nullptr;
    QPushButton* cmdclean = nullptr;
    QGroupBox* Frame2 = nullptr;
    QButtonGroup* paletteGroup = nullptr;
    QRadioButton* optuser = nullptr;
    QRadioButton* optwebsafe = nullptr;
    std::array<SwatchLabel*, kSwatchCount> lblcor{};
    QPushButton* cmdpre = nullptr;
    QPushButton* cmdnext = nullptr;
    ShapeWidget* shp1 = nullptr;

    // The swatches' popup menu.
    QMenu* mnuPop = nullptr;
    QAction* mnucopyhex = nullptr;
    QAction* mnucopyhex1 = nullptr;
    QAction* mnucopyhex2 = nullptr;
    QAction* mnucopyhex3 = nullptr;
    QAction* mnusep1 = nullptr;
    QAction* mnucopyrgb1 = nullptr;
    QAction* mnucopyrgb = nullptr;
    QAction* mnusep = nullptr;
    QAction* mnuDel = nullptr;

private:
    SwatchLabel* makeSwatch(int index);

    QWidget* m_form;
};

} // namespace tintaro
