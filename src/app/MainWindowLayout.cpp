#include "MainWindowLayout.h"

#include "Artwork.h"
#include "Fonts.h"
#include "ShapeWidget.h"
#include "SwatchLabel.h"
#include "Twips.h"

#include <QAction>
#include <QButtonGroup>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

namespace tintaro {
namespace {

// Swatch 0 as designed, in twips; the others are placed from its size.
constexpr int kCell0Left = 2016;
constexpr int kCell0Top = 3876;
constexpr int kCellWidth = 300;
constexpr int kCellHeight = 225;
// The selection frame, as designed.
constexpr int kFrameWidth = 354;
constexpr int kFrameHeight = 278;

const QColor kRedText(0xFF, 0x00, 0x00);
const QColor kGreenText(0x00, 0xFF, 0x00);
const QColor kBlueText(0x00, 0x00, 0xFF);

template <typename W>
W* place(W* widget, const char* name, int left, int top, int width, int height)
{
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(Twips::rect(left, top, width, height));
    return widget;
}

QLabel* caption(QWidget* form, const char* name, const QString& text, int l, int t, int w, int h,
                Qt::Alignment align = Qt::AlignLeft | Qt::AlignTop, bool bold = false)
{
    auto* label = place(new QLabel(text, form), name, l, t, w, h);
    label->setFont(Fonts::dialog(8.25, bold));
    label->setAlignment(align);
    Fonts::fitCaption(label, text);
    return label;
}

void setTextColor(QWidget* widget, QPalette::ColorRole role, const QColor& color)
{
    QPalette pal = widget->palette();
    pal.setColor(role, color);
    widget->setPalette(pal);
}

// The widest text each kind of value box ever shows.
QString widestValue(const char* name)
{
    const QLatin1String n(name);
    if (n == QLatin1String("txtrgb1"))
        return QStringLiteral("255,255,255");
    if (n == QLatin1String("txtrgb"))
        return QStringLiteral("#FFFFFF");
    return n.endsWith(QLatin1Char('h')) ? QStringLiteral("FF") : QStringLiteral("255");
}

QLineEdit* valueBox(QWidget* form, const char* name, const QString& text, int l, int t, int w,
                    int h, const QColor& textColor = QColor())
{
    auto* box = place(new QLineEdit(text, form), name, l, t, w, h);
    box->setReadOnly(true);
    box->setFont(Fonts::dialog(8.25, true));
    // A one-pixel border leaves the narrow boxes room for two digits.
    box->setStyleSheet(QStringLiteral("QLineEdit { border: 1px solid palette(dark); padding: 0px;"
                                      " background: palette(button); color: %1; }")
                           .arg(textColor.isValid() ? textColor.name()
                                                    : QStringLiteral("palette(text)")));
    Fonts::fitCaption(box, widestValue(name));
    return box;
}

QPushButton* button(QWidget* form, const char* name, const QString& text, int l, int t, int w,
                    int h, bool bold = false)
{
    auto* b = place(new QPushButton(text, form), name, l, t, w, h);
    b->setFont(Fonts::dialog(8.25, bold));
    b->setAutoDefault(false);
    Fonts::fitCaption(b, text);
    return b;
}

QRadioButton* option(QWidget* parent, QButtonGroup* group, const char* name, const QString& text,
                     int l, int t, int w, int h)
{
    auto* o = place(new QRadioButton(text, parent), name, l, t, w, h);
    o->setFont(Fonts::dialog());
    group->addButton(o);
    Fonts::fitCaption(o, text);
    return o;
}

SwatchLabel* samplePageLabel(QWidget* form, const char* name, const QString& text,
                             const QString& tip, int l, int t, int w, int h, const QFont& font)
{
    auto* label = place(new SwatchLabel(form), name, l, t, w, h);
    label->setText(text);
    label->setToolTip(tip);
    label->setFont(font);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    label->setBackColor(Qt::white);
    label->setForeColor(Qt::black);
    Fonts::fitCaption(label, text, true);
    return label;
}

QAction* menuEntry(QMenu* menu, const char* name, const QString& text)
{
    QAction* action = menu->addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

QAction* menuSeparator(QMenu* menu, const char* name)
{
    QAction* action = menu->addSeparator();
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

} // namespace

QString MainWindowLayout::sampleLinkAddress() { return QStringLiteral("www.tintaro.org"); }

MainWindowLayout::MainWindowLayout(QWidget* form) : m_form(form)
{
    const QFont underlined = Fonts::dialog(8.25, false, true);
    const QString address = sampleLinkAddress();

    // Created bottom to top: frames, then labels and pictures, then shapes,
    // then the controls that take input, so that these stand above labels
    // and shapes wherever they overlap.
    Frame1 = place(new QGroupBox(QStringLiteral("color set"), form), "Frame1", 30, 3225, 7230, 525);
    Frame1->setFont(Fonts::dialog());
    // The caption sits in the frame's top line, so that the options fit the
    // frame's height below it.
    Frame1->setStyleSheet(QStringLiteral(
        "QGroupBox { border: 1px solid palette(mid); margin-top: 6px; }"
        " QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0px 2px; }"));
    Frame2 = place(new QGroupBox(form), "Frame2", 216, 4656, 1485, 720);

    lbldisplay = samplePageLabel(form, "lbldisplay", QString(),
                                 QStringLiteral("click to see background color value."), 3375, 90,
                                 2325, 3045, Fonts::dialog());
    lbldisplay->setFrameShape(QFrame::Box);
    lbltext = samplePageLabel(form, "lbltext", QStringLiteral("Everything we do, we do it for you."),
                              QStringLiteral("click to see text color value."), 3540, 660, 1875,
                              510, Fonts::dialog(9.75, true));
    lblnl = samplePageLabel(form, "lblnl", QStringLiteral("Normal: ") + address,
                            QStringLiteral("click to see normal link color value."), 3540, 1665,
                            2115, 255, underlined);
    lblvl = samplePageLabel(form, "lblvl", QStringLiteral("Visited: ") + address,
                            QStringLiteral("click to see visited link color value."), 3540, 2040,
                            2115, 255, underlined);
    lblal = samplePageLabel(form, "lblal", QStringLiteral("Active: ") + address,
                            QStringLiteral("click to see active link color value. "), 3540, 2400,
                            2115, 255, underlined);
    lblhl = samplePageLabel(form, "lblhl", QStringLiteral("Hover: ") + address,
                            QStringLiteral("click to see hover link color value."), 3540, 2775, 2115,
                            255, underlined);

    lblcolor = place(new SwatchLabel(form), "lblcolor", 255, 90, 1095, 1020);
    lblcolor->setFrameShape(QFrame::Box);
    lblcolor->setFont(Fonts::arial(10.5));
    lblcolor->setToolTip(QStringLiteral("Right click to find more..."));
    lblcolor->setBackColor(Qt::white);

    const Qt::Alignment right = Qt::AlignRight | Qt::AlignTop;
    Label6 = caption(form, "Label6", QStringLiteral("RGB:"), -75, 1185, 585, 225, right, true);
    Label2 = caption(form, "Label2", QStringLiteral("HEX:"), -75, 1485, 585, 225, right, true);
    Label3 = caption(form, "Label3", QStringLiteral("R:"), -75, 1755, 585, 225, right, true);
    setTextColor(Label3, QPalette::WindowText, kRedText);
    Label4 = caption(form, "Label4", QStringLiteral("G:"), -75, 2115, 585, 225, right, true);
    setTextColor(Label4, QPalette::WindowText, kGreenText);
    Label5 = caption(form, "Label5", QStringLiteral("B:"), -75, 2490, 585, 225, right, true);
    setTextColor(Label5, QPalette::WindowText, kBlueText);
    Label1 = caption(form, "Label1", QStringLiteral("Newest Pick"), 270, 2850, 930, 255);

    imgmark = place(new SwatchLabel(form), "imgmark", 1440, 90, 1950, 585);
    imgmark->setPixmap(Artwork::logo(form->devicePixelRatioF()));
    imgmark->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    imgmark->setCursor(Artwork::logoCursor());
    imgmark->setToolTip(QStringLiteral("Welcome to Tintaro2.0 from %1! Visit us at %2")
                            .arg(Artwork::makerName(), Artwork::homePage()));

    lblcor[0] = makeSwatch(0);
    lblcor[0]->setBackColor(form->palette().color(QPalette::Window));
    lblcor[0]->setGeometry(Twips::rect(kCell0Left, kCell0Top, kCellWidth, kCellHeight));

    shpnew = place(new ShapeWidget(form), "shpnew", 1245, 2805, 270, 300);
    shpnew->setFillColor(Qt::white);
    shp1 = place(new ShapeWidget(form), "shp1", 75, 120, kFrameWidth, kFrameHeight);
    shp1->setBorderColor(Qt::white);

    txtrgb1 = valueBox(form, "txtrgb1", QStringLiteral("255,255,255"), 525, 1185, 1110, 285);
    txtrgb = valueBox(form, "txtrgb", QStringLiteral("#FFFFFF"), 525, 1470, 825, 285);
    txtr = valueBox(form, "txtr", QStringLiteral("255"), 525, 1755, 495, 285, kRedText);
    txtrh = valueBox(form, "txtrh", QStringLiteral("FF"), 1065, 1755, 255, 285, kRedText);
    txtg = valueBox(form, "txtg", QStringLiteral("255"), 525, 2115, 495, 285, kGreenText);
    txtgh = valueBox(form, "txtgh", QStringLiteral("FF"), 1065, 2115, 330, 285, kGreenText);
    txtb = valueBox(form, "txtb", QStringLiteral("255"), 525, 2475, 495, 285, kBlueText);
    txtbh = valueBox(form, "txtbh", QStringLiteral("FF"), 1065, 2475, 345, 285, kBlueText);

    cmdstart = button(form, "cmdstart", QStringLiteral("Start to pick color"), 1710, 735, 1440, 360);
    cmdstop = button(form, "cmdstop", QStringLiteral("Stop picking"), 1710, 1140, 1440, 360, true);
    cmdmin = button(form, "cmdmin", QStringLiteral("Minimum"), 1710, 1545, 1440, 360);
    cmdhelp = button(form, "cmdhelp", QStringLiteral("Help"), 1710, 1950, 1440, 360);
    cmdabout = button(form, "cmdabout", QStringLiteral("About"), 1710, 2355, 1440, 360);
    cmdswap = button(form, "cmdswap", QStringLiteral("Expand>>"), 1710, 2760, 1440, 360);
    Fonts::fitCaption(cmdswap, QStringLiteral("Shrink<<")); // its other caption

    lstCorset = place(new QListWidget(form), "lstCorset", 5775, 90, 1440, 1815);
    lstCorset->setFont(Fonts::dialog());
    lstCorset->setUniformItemSizes(true); // ten thousand names must not slow the start
    cmdDelItem = button(form, "cmdDelItem", QStringLiteral("Delete this item"), 5775, 1980, 1440, 360);
    cmdSave = button(form, "cmdSave", QStringLiteral("Save current set"), 5775, 2377, 1440, 360);
    cmdcss = button(form, "cmdcss", QStringLiteral("View code"), 5775, 2760, 1440, 360);

    targetGroup = new QButtonGroup(form);
    targetGroup->setObjectName(QStringLiteral("targetGroup"));
    opttext = option(form, targetGroup, "opttext", QStringLiteral("Text"), 285, 3450, 630, 210);
    optbg = option(form, targetGroup, "optbg", QStringLiteral("Background"), 915, 3450, 1215, 210);
    optnl = option(form, targetGroup, "optnl", QStringLiteral("Normal link"), 2130, 3450, 1095, 210);
    optvl = option(form, targetGroup, "optvl", QStringLiteral("Visited link"), 3225, 3450, 1110, 210);
    optal = option(form, targetGroup, "optal", QStringLiteral("Active link"), 4335, 3450, 1050, 210);
    opthl = option(form, targetGroup, "opthl", QStringLiteral("Hover link"), 5385, 3450, 1020, 210);
    optnone = option(form, targetGroup, "optnone", QStringLiteral("None"), 6405, 3450, 705, 210);

    cmddel = button(form, "cmddel", QStringLiteral("Delete it"), 252, 3876, 1440, 360);
    cmdclean = button(form, "cmdclean", QStringLiteral("Clean duplicate"), 252, 4284, 1440, 360);
    paletteGroup = new QButtonGroup(form);
    paletteGroup->setObjectName(QStringLiteral("paletteGroup"));
    optuser = option(Frame2, paletteGroup, "optuser", QStringLiteral("User's color"), 45, 180, 1380, 195);
    optwebsafe = option(Frame2, paletteGroup, "optwebsafe", QStringLiteral("Web safe color"), 45, 450,
                        1380, 195);
    optuser->setChecked(true);

    // Design places; start-up moves them under the grid.
    cmdpre = button(form, "cmdpre", QStringLiteral("<"), 840, 5508, 300, 285);
    cmdnext = button(form, "cmdnext", QStringLiteral(">"), 4545, 5250, 300, 285);

    mnuPop = new QMenu(QStringLiteral("pop"), form);
    mnuPop->setObjectName(QStringLiteral("mnuPop"));
    mnucopyhex = menuEntry(mnuPop, "mnucopyhex", QStringLiteral("Copy HEX [Format: #80FFCC]"));
    mnucopyhex1 = menuEntry(mnuPop, "mnucopyhex1", QStringLiteral("Copy HEX [Format: 80FFCC]"));
    mnucopyhex2 = menuEntry(mnuPop, "mnucopyhex2", QStringLiteral("copy HEX [Format: \"#80FFCC\"]"));
    mnucopyhex3 = menuEntry(mnuPop, "mnucopyhex3", QStringLiteral("Copy HEX [Format: \"80FFCC\"]"));
    mnusep1 = menuSeparator(mnuPop, "mnusep1");
    mnucopyrgb1 =
        menuEntry(mnuPop, "mnucopyrgb1", QStringLiteral("Copy RGB [Format: RGB(155,255,120)]"));
    mnucopyrgb = menuEntry(mnuPop, "mnucopyrgb", QStringLiteral("Copy RGB [Format: 155,255,120]"));
    mnusep = menuSeparator(mnuPop, "mnusep");
    mnuDel = menuEntry(mnuPop, "mnuDel", QStringLiteral("Delete"));
}

SwatchLabel* MainWindowLayout::makeSwatch(int index)
{
    auto* swatch = new SwatchLabel(m_form);
    swatch->setObjectName(QStringLiteral("lblcor_%1").arg(index));
    swatch->setFrameShape(QFrame::Box);
    swatch->setFont(Fonts::arial(9));
    swatch->setToolTip(QStringLiteral("Right click to find more..."));
    swatch->setFocusPolicy(Qt::NoFocus);
    return swatch;
}

void MainWindowLayout::createSwatches()
{
    const SwatchLabel* first = lblcor[0];
    for (int i = 1; i < kSwatchCount; ++i) {
        SwatchLabel* swatch = makeSwatch(i);
        swatch->setPalette(first->palette());
        swatch->setBackColor(first->backColor());
        swatch->resize(first->size());
        swatch->hide();
        // Keep the new swatches under the selection frame and the page
        // buttons, which overlap the bottom row.
        swatch->stackUnder(shp1);
        lblcor[std::size_t(i)] = swatch;
    }
}

QRect MainWindowLayout::swatchTwips(int index)
{
    const int stepX = kCellWidth - 1; // neighbouring cells share their border twip
    const int stepY = kCellHeight - 1;
    return QRect(kCell0Left + (index / 8) * stepX, kCell0Top + (index % 8) * stepY, kCellWidth,
                 kCellHeight);
}

QRect MainWindowLayout::selectionFrameRect(int index)
{
    const QRect cell = swatchTwips(index);
    return Twips::rect(cell.left() - 2, cell.top() - 2, kFrameWidth, kFrameHeight);
}

void MainWindowLayout::placeGrid()
{
    for (int i = 0; i < kSwatchCount; ++i) {
        const QRect cell = swatchTwips(i);
        lblcor[std::size_t(i)]->setGeometry(
            Twips::rect(cell.left(), cell.top(), cell.width(), cell.height()));
        lblcor[std::size_t(i)]->show();
    }
    // Page buttons just under the top of the bottom row, first and last column.
    const QRect first = swatchTwips(7);
    const QRect last = swatchTwips(143);
    cmdpre->setGeometry(Twips::rect(first.left(), first.top() + 23, 300, 285));
    cmdnext->setGeometry(Twips::rect(last.left(), last.top() + 23, 300, 285));
}

void MainWindowLayout::setTabOrder()
{
    QWidget* const chain[] = {cmdstart, cmdhelp, cmdstop, cmdmin,  cmdabout,   cmdpre,  cmdnext,
                              cmddel,   cmdclean, txtrgb1, txtrgb, txtr,       txtrh,   txtg,
                              txtgh,    txtb,     txtbh,   opttext, optbg,     optnl,   optvl,
                              optal,    opthl,    optnone, cmdswap, cmdDelItem, cmdSave, lstCorset,
                              cmdcss,   optuser,  optwebsafe};
    for (std::size_t i = 1; i < std::size(chain); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
}

} // namespace tintaro
