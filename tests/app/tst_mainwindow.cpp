#include "AppFixture.h"

#include "CodeBox.h"
#include "OneShotPick.h"

#include <QLabel>
#include <QStyle>

#include <cmath>

namespace {

template <typename T> bool is(const QObject* o)
{
    return qobject_cast<const T*>(o);
}
// Four colour sets, the first undeletable. Fields in file order: text,
// background, normal, visited, active, hover, each as BBGGRR.
const QStringList kNames{"Default", "Ocean", "Forest", "Sunset"};
const QList<QByteArray> kRecords{
    "000000FFFFFF000000000000000000000000", "FFFFFF663300FFCC0099FFCC66CCFF3399FF",
    "E0F0E0224411AACC88779944CCEEAA00FF00", "0000801A2B3C4D5E6F7A8B9C0D1E2FABCDEF"};

// The colours of set records as "#RRGGBB", field after field.
QStringList setColours(const QList<QByteArray>& records)
{
    QStringList colours;
    for (const QByteArray& r : records)
        for (int f = 0; f < 36; f += 6)
            colours << "#" + r.mid(f + 4, 2) + r.mid(f + 2, 2) + r.mid(f, 2);
    return colours;
}

QByteArray namesFile(const QStringList& names)
{
    QByteArray out;
    for (const QString& name : names)
        out += '"' + name.toUtf8() + "\"\r\n";
    return out;
}

// "ro-start:<file or .>", "websafe:N" (N web-safe colours, -1 no file), "sets" (the four above),
// "sets+" (and one with a damaged field, one without a record).
QMap<QString, QByteArray> filesFor(const QString& setup)
{
    if (setup.startsWith("ro-start:")) // read-only when the program starts
        return {{"<read-only>", setup.section(':', 1).toLatin1()}};
    if (setup.startsWith("websafe:")) {
        const int n = setup.section(':', 1).toInt();
        return {{"websafe.rgb", n < 0 ? QByteArray() : TestFiles::records(n, 0x100000)}};
    }
    if (setup.isEmpty())
        return {};
    QByteArray damaged = kRecords.at(2);
    damaged.replace(12, 6, "GGGGGG");
    const bool more = setup == "sets+";
    return {{"set.dat",
             namesFile(kNames + (more ? QStringList{"Damaged", "No record"} : QStringList()))},
            {"colorset.dat", kRecords.join() + (more ? damaged : QByteArray())}};
}

} // namespace

// The main window driven as a user drives it; its title, sizes, About box and
// closing are checked end to end (tests/e2e).
class TestMainWindow : public QObject
{
    Q_OBJECT

    static QStringList cutCaptions(const QWidget* root)
    {
        QStringList wrong;
        for (const QWidget* w : root->findChildren<QWidget*>()) {
            const QStyle* s = w->style();
            int inset = 0; // the width the control keeps from its caption
            if (is<QPushButton>(w))
                inset = s->pixelMetric(QStyle::PM_ButtonMargin, nullptr, w);
            else if (is<QRadioButton>(w))
                inset = s->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, w) +
                        s->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, w);
            else if (is<QLineEdit>(w))
                inset = 4; // showing white, the widest text of each box
            else if (is<QLabel>(w))
                inset = qMax(0, -w->x()); // cut by the window's edge
            else
                continue;
            const QString text = w->property("text").toString();
            const QFontMetrics fm(w->font());
            const int room = w->width() - inset;
            const QRect wrapped = fm.boundingRect(QRect(0, 0, room, 999), Qt::TextWordWrap, text);
            if (is<QLabel>(w) && qobject_cast<const QLabel*>(w)->wordWrap()
                    ? wrapped.height() > w->height() + 2
                    : fm.horizontalAdvance(text) > room || fm.height() > w->height() + 2)
                wrong << w->objectName() + " cut";
        }
        return wrong;
    }

    // The controls of a window of our own each in a place of its own, all
    // of them inside it.
    static QStringList crowded(const QWidget* window)
    {
        QStringList wrong;
        QList<const QWidget*> seen;
        for (const QWidget* w : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            const QRect at = w->geometry();
            if (!QRect(QPoint(), window->size()).contains(at))
                wrong << w->objectName() + QString(w->property("text").toString()) + " outside";
            for (const QWidget* other : seen)
                if (other->geometry().intersects(at))
                    wrong << w->objectName() + w->property("text").toString() + " over " +
                                 other->objectName() + other->property("text").toString();
            seen << w;
        }
        return wrong;
    }

private Q_SLOTS:
    void init() { MessageBoxes::clearShownTexts(); }

    void startThenExpandAndShrink()
    {
        Program p(TestFiles::records(200), {}, false);
        const auto sizing = Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint;
        QVERIFY(!(p.w().windowFlags() & sizing) && !p.ui().cmdstop->isEnabled());
        QVERIFY(p.ui().optnone->isChecked() && p.ui().optuser->isChecked());
        QCOMPARE(p.fact("readout"), "#FFFFFF 255,255,255 255 FF 255 FF 255 FF");
        for (const QLineEdit* box : p.w().findChildren<QLineEdit*>())
            QVERIFY(box->isReadOnly());
        QVERIFY(p.ui().lblcolor->backColor() == Qt::white &&
                p.ui().shpnew->fillColor() == Qt::white);
        QTRY_COMPARE(QApplication::focusWidget(), p.ui().cmdstart);

        const QPoint place = p.w().pos();
        const QPoint cell = p.ui().lblcor[143]->pos();
        p.click(p.ui().cmdswap);
        QCOMPARE(p.ui().cmdswap->text(), "Shrink<<");
        QVERIFY(p.ui().optnone->isChecked());
        p.click(p.ui().opttext); // the target options form a group of their own
        QVERIFY(!p.ui().optnone->isChecked() && p.ui().optuser->isChecked());
        p.swatch(0);
        QCOMPARE(p.fact("usable"), "> Delete Clean frame");
        p.click(p.ui().cmdswap);
        QCOMPARE(p.ui().cmdswap->text(), "Expand>>");
        QVERIFY(p.ui().optnone->isChecked()); // the sample page is out of sight
        QCOMPARE(p.fact("usable"), "> Clean");
        QVERIFY(p.w().pos() == place && p.ui().lblcor[143]->pos() == cell);
    }

    // A caption cut off by its control: a fault the eye catches at once and
    // a test of what the control holds never sees.
    void layout()
    {
        Program p;
        QStringList wrong = cutCaptions(&p.w());
        p.run("details contrast");
        wrong += cutCaptions(p.w().detailsWindow()) + crowded(p.w().detailsWindow());
        bool examined = false;
        QTimer::singleShot(0, &p.w(), [&] {
            QWidget* d = QApplication::activeModalWidget();
            wrong += d ? cutCaptions(d) + crowded(d) : QStringList{"no export dialog"};
            examined = true;
            if (d)
                d->close();
        });
        p.w().openExport();
        QVERIFY(examined);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(", ")));
    }

    void minimum()
    {
        Program p;
        p.run("cmdmin");
        QTRY_VERIFY(p.w().isMinimized());
    }

    // Steps (see Program::run) from the user's colours and a setup (see
    // filesFor); then what the named facts (see Program::fact) must read.
    void steps_data()
    {
        QTest::addColumn<QByteArray>("userFile"); // null: no file
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("expected"); // "fact=text; ..."
        const auto row = [](const char* name, const QByteArray& userFile, const char* setup,
                            const QString& steps, const QString& expected) {
            QTest::newRow(name) << userFile << setup << steps << expected;
        };
        using TestFiles::records;
        const auto file = [](const QByteArray& bytes) { return "file=" + QString(bytes); };
        // Start-up from the user's file as it is, made when missing.
        row("start: user file missing", {}, "", "", "file=; usable=; delete=off");
        row("start: a page and one", records(145), "", "", "usable=> Clean; top=145");
        row("start: 6N + 3 bytes", records(2) + "FFF", "", "", "usable=Clean");
        row("start: not hexadecimal", "zzzzzz\x01\x02\x03\x04\x05\x06", "", "", "usable=Clean");
        row("start: 60 MB", QByteArray(6 * 9'999'998, '0') + "123456ABCDEF", "", "",
            "usable=> Clean; top=10000000");
        row("start: read-only user file", "00FF00FF0000", "ro-start:mycolor.rgb", "",
            "usable=Clean; file=00FF00FF0000");
        row("start: read-only folder, no user file", {}, "ro-start:.", "", "file=<none>");
        // The palette: paging, the two palettes, deleting and cleaning.
        const QString toEnd = "> w > > > > > > > > >"; // the web-safe palette's last page
        row("150: a swatch chosen", records(150), "", "3", "top=150; usable=> Delete Clean frame");
        row("144: one page", records(144), "", "", "top=144; usable=Clean");
        row("145: the last page", records(145), "", ">", "top=137; usable=< Clean");
        row("153: one column on", records(153), "", ">", "top=145; usable=< > Clean");
        row("153: back after a delete", records(153), "", "> > 0 D <", "top=144; usable=< > Clean");
        row("150: the user's page kept across a switch", records(150), "", "> w > u",
            "top=142; usable=< Clean");
        row("300: a pick on an older page", records(300), "", "> cmdstart 5,5 L",
            "top=293; usable=< > Clean");
        row("web-safe: its own first page", records(300), "", "3 > w", "top=216; usable=>");
        row("back to the user's colours: Delete and Clean again", records(3), "", "w u 1",
            "top=3; usable=Delete Clean frame");
        row("web-safe: last page", records(300), "", toEnd, "top=144; usable=<");
        row("back to the user's page", records(300), "", toEnd + " u", "top=292; usable=< > Clean");
        row("web-safe file missing", records(5), "websafe:-1", "w", "top=0; usable=>");
        row("web-safe file short", records(5), "websafe:100", "w", "top=0; usable=>");
        row("delete by the menu", records(5), "", "del:3",
            file(records(1) + records(3, 2)) + "; usable=Clean");
        row("delete the last colour", records(1), "", "0 D", "file=; usable=");
        row("delete record 100 of 200 a column on", records(200), "", "> 92 D",
            file(records(99) + records(100, 100)) + "; top=191; usable=< > Clean");
        row("clean: the oldest of each stays, in order", "FF000000FF00FF00000000FF00FF00", "",
            "0 C", "file=FF000000FF000000FF; usable=");
        row("clean: letter case counts", "ff0000FF0000ff0000", "", "0 C", "file=ff0000FF0000");
        row("clean: damaged records compared as bytes", "zz0000zz0000FF0000", "", "0 C",
            "file=zz0000FF0000");
        row("clean a column on: back to the newest page", records(300), "", "> C",
            file(records(300)) + "; top=300; usable=>");
        row("read-only file: nothing deleted", "FF0000FF000000FF00", "", "ro:mycolor.rgb 1 D",
            "file=FF0000FF000000FF00; usable=Delete Clean frame; shown=The colour could not be "
            "deleted.\n\n\"mycolor.rgb\" is read-only, so it cannot be changed.");
        row("read-only folder: nothing cleaned", "FF0000FF000000FF00", "", "ro:. C",
            "file=FF0000FF000000FF00; usable=Clean; shown=The duplicate colours could not be "
            "removed.\n\nCannot create the temporary file \"mycolor.tmp\": Permission denied");
        // A click with any button makes a swatch's colour the current one;
        // a right click opens the copy menu.
        const QByteArray three = "zz0A00050a0080FFCC";
        const QString copy = "set:1 mid:%1 menu:%1 copy:%2";
        row("copy #hex", three, "sets", copy.arg(0).arg("mnucopyhex"),
            "clip=#80FFCC; menu=Delete; colour=#80FFCC; delete=off; usable=Delete Clean frame");
        row("copy hex, lower case", three, "", copy.arg(1).arg("mnucopyhex1"), "clip=050A00");
        row("copy quoted #hex", three, "", copy.arg(0).arg("mnucopyhex2"), "clip=\"#80FFCC\"");
        row("copy quoted hex, damaged: white", three, "", copy.arg(2).arg("mnucopyhex3"),
            "clip=\"FFFFFF\"; colour=#FFFFFF");
        row("copy RGB(), no zero fill", three, "", copy.arg(1).arg("mnucopyrgb1"),
            "clip=RGB(5,10,0)");
        row("copy a triple, empty cell", three, "", copy.arg(9).arg("mnucopyrgb"),
            "clip=255,255,255; menu=Delete (off); usable=Clean frame");
        row("copy a web-safe colour", three, "", "w mid:0 menu:0 copy:mnucopyhex",
            "clip=#1000D7; menu=; usable=> frame");
        row("copy the current colour", three, "", "mid:0 menu:colour copy:mnucopyrgb",
            "clip=128,255,204; menu=; usable=Delete Clean frame; file=" + QString(three));
        // A swatch colours the element its target names; the element gives it back.
        const QString target = "1 %1 0 optnone 1 %2";
        const QString black = "000000", white = "FFFFFF", mint = "332211";
        const auto page = [&](int field) {
            QStringList f{black, white, black, black, black, black};
            if (field >= 0)
                f[field] = mint;
            return "page=" + f.join("") + (field < 0 ? "" : "; usable=Clean") + "; colour=#112233";
        };
        row("target None", "80FFCC112233", "", "1 optnone 0", page(-1));
        row("target Text", "80FFCC112233", "", target.arg("opttext", "lbltext"), page(0));
        row("target Background", "80FFCC112233", "", target.arg("optbg", "lbldisplay"), page(1));
        row("target Normal link", "80FFCC112233", "", target.arg("optnl", "lblnl"), page(2));
        row("target Visited link", "80FFCC112233", "", target.arg("optvl", "lblvl"), page(3));
        row("target Active link", "80FFCC112233", "", target.arg("optal", "lblal"), page(4));
        row("target Hover link", "80FFCC112233", "", target.arg("opthl", "lblhl"), page(5));
        // Picking: the colour under the pointer everywhere, picks, and what ends a session.
        const QByteArray at = recordOf(colourAt({128, 254})), keyed = recordOf(colourAt({21, 39}));
        const QByteArray moved = recordOf(colourAt({200, 100}));
        const QByteArray back = recordOf(QGuiApplication::palette().color(QPalette::Base));
        row("movement: the readout and the target", records(3), "", "cmdstart optbg 0 261,522",
            "readout=#050A21 5,10,33 005 05 010 0A 033 21; usable=Clean; "
            "page=000000210A05000000000000000000000000");
        row("first pick into a new file", {}, "", "cmdstart 128,254 L",
            file(at) + "; newest=#" + at + "; picking=1; usable=");
        row("every button picks", records(1), "", "cmdstart 128,254 L R M",
            file(records(1) + at + at + at) + "; usable=Clean");
        row("the 145th colour makes a second page", records(144), "", "cmdstart 128,254 L",
            "usable=> Clean; top=145");
        row("the window resized once painted: the image stays", "", "",
            "cmdstart 128,254 squeeze 200,100 L", file(moved));
        row("no movement: black; a movement carries over", "", "",
            "cmdstart up 200,100 cmdstop cmdstart up", file("000000" + moved) + "; grabs=2");
        row("no image: the window's colour", "", "", "noimage cmdstart 40,40 L", file(back));
        // The keys hand the pointer to the window system in physical desktop
        // pixels, from the desktop's top left, which may lie left of or above
        // the primary screen; under a compositor it stays where it is.
        const QScreen* primary = QGuiApplication::primaryScreen();
        const QPoint origin = primary->virtualGeometry().topLeft() * primary->devicePixelRatio();
        const auto warps = [&](std::initializer_list<QPoint> pixels) {
            QStringList at;
            for (QPoint p : pixels)
                at << QString("%1,%2").arg(p.x() + origin.x()).arg(p.y() + origin.y());
            return "; warps=" + (FakeScreenGrabber::perScreen() ? QString() : at.join(' '));
        };
        row("keys: arrows, Shift, Return, Space; Escape ends", "", "",
            "cmdstart 20,30 key:Right key:Shift+Down key:Up key:Return key:Space key:Escape "
            "key:Return",
            file(keyed + keyed) + "; picking=0" + warps({{21, 30}, {21, 40}, {21, 39}}));
        row("keys stop at the edge", "", "", "cmdstart 5,50 key:Shift+Left key:Return",
            file(recordOf(colourAt({0, 50}))) + warps({{0, 50}}));
        row("read-only file: a warning, nothing picked", "112233", "",
            "ro:mycolor.rgb cmdstart 3,4 L",
            "file=112233; shown=The colour #030400 could not be kept: \"mycolor.rgb\" in the "
            "folder \"<dir>\" cannot be written (it is read-only).");
        row("a session: the user's palette, the window on top", records(3), "", "w cmdstart",
            "picking=1; grabs=1; top=3; usable=Clean; buttons=cmdstop");
        row("Stop picking ends a session", records(3), "", "cmdstart cmdstop",
            "picking=0; buttons=cmdstart cmdmin");
        row("Help ends a session", records(3), "", "cmdstart cmdhelp",
            "picking=0; opened=file:///help.htm");
        row("the logo ends a session", records(3), "", "cmdstart imgmark",
            "picking=0; opened=https://tintaro.org");
        row("the web-safe palette ends a session", records(3), "", "cmdstart w",
            "picking=0; usable=>");
        row("Escape ends a session", records(3), "", "cmdstart esc", "picking=0");
        row("a new session takes a new image", records(3), "", "cmdstart esc cmdstart",
            "picking=1; grabs=2");
        row("the image awaited, Escape stops: the request is withdrawn", records(3), "",
            "hold cmdstart key:Escape", "picking=0; cancels=1; grabs=0");
        const QString waiting =
            "notice=Waiting for the desktop's screenshot. Escape or \"Stop picking\" cancels.";
        row("the image awaited: the window back, saying so", records(3), "", "hold cmdstart back",
            waiting + "; picking=1; file=" + records(3));
        row("the image awaited, the window in a corner: saying so above it", records(3), "",
            "corner hold cmdstart back", waiting);
        row("the image awaited, the window back, Stop: a late answer changes nothing", records(3),
            "", "hold cmdstart back cmdstop answer",
            "picking=0; cancels=1; notice=; file=" + records(3));
        row("the image arrives late: picking goes on", "", "",
            "hold cmdstart back answer 128,254 L", file(at) + "; picking=1; cancels=0; notice=");
        // Where the desktop gives no image, its own picker gives one colour at a time.
        row("the desktop's picker: each colour a pick", records(1), "",
            "picker optbg cmdstart colour:123456 colour:ABCDEF",
            file(records(1) + "123456ABCDEF") +
                "; newest=#ABCDEF; picking=1; cancels=0; "
                "readout=#ABCDEF 171,205,239 171 AB 205 CD 239 EF; "
                "page=000000EFCDAB000000000000000000000000; notice=No frozen image here.");
        row("the desktop's picker closed: the session ends", "", "",
            "picker cmdstart colour:123456 colour:- colour:ABCDEF",
            file("123456") + "; picking=0; notice=");
        row("the desktop's picker, Stop: the request is withdrawn", "", "",
            "picker cmdstart cmdstop colour:123456", "file=; picking=0; cancels=1; notice=");
        row("the desktop's picker fails: its reason", "", "",
            "picker cmdstart colour:!Picker_broke", "file=; picking=0; shown=Picker broke");
        row("a refusal ends the session with its reason", "", "",
            "refuse:Not_allowed cmdstart answer", "picking=0; shown=Not allowed; file=");
        // Colour sets: choosing, saving and deleting. Swatch 0 shows #80FFCC.
        const QString sets = "12345680FFCC";
        QByteArray mixed = kRecords.at(2);
        mixed.replace(12, 6, kRecords.at(1).mid(12, 6));
        const QString chosen = "; usable=Clean; colour=#80FFCC";
        row("choose the first: Delete stays off", sets.toLatin1(), "sets+", "opttext 0 set:0",
            "row=0; delete=off; page=" + kRecords.at(0) + chosen);
        row("choose the last", sets.toLatin1(), "sets+", "opttext 0 set:3",
            "row=3; delete=on; page=" + kRecords.at(3) + chosen);
        row("choose by keys: Home, Down", sets.toLatin1(), "sets+",
            "opttext 0 tab:lstCorset list:Home list:Down",
            "row=1; delete=on; page=" + kRecords.at(1) + chosen);
        row("a damaged field keeps its colour", sets.toLatin1(), "sets+", "opttext 0 set:1 set:4",
            "row=4; page=" + mixed + chosen);
        row("a set without a record changes nothing", sets.toLatin1(), "sets+", "set:1 set:4 set:5",
            "row=5; page=" + mixed);
        row("leaving the list keeps the choice for deleting", sets.toLatin1(), "sets",
            "set:2 list:Tab", "row=-1; delete=off; chosen=2");
        // The contrast check: text and links on the background, links against
        // the text; following every change of the page.
        row("contrast: the page's menu; a passing grey for links like the text", "", "", "contrast",
            "ratios=21.00 21.00 21.00 21.00 21.00 1.00 1.00; passing=5:#5A5A5A 6:#5A5A5A");
        row("contrast: Use gives its link the passing colour, as a swatch would", "", "",
            "contrast use:5",
            "ratios=21.00 6.89 21.00 21.00 21.00 3.04 1.00; passing=6:#5A5A5A; colour=#5A5A5A; "
            "page=000000FFFFFF5A5A5A000000000000000000");
        row("contrast: follows a swatch click with Text chosen", sets.toLatin1(), "",
            "contrast opttext 0", "ratios=1.22 21.00 21.00 21.00 21.00 17.09 17.09");
        row("contrast: follows a chosen set; a damaged field unknown until given a colour",
            sets.toLatin1(), "sets+", "contrast set:2 set:4",
            "ratios=9.45 ? 3.23 8.43 8.16 ? 2.91");
        row("contrast: a damaged field given a colour", sets.toLatin1(), "sets+",
            "contrast set:2 set:4 optnl 0", "ratios=9.45 9.12 3.23 8.43 8.16 1.03 2.91");
        row("contrast: Ctrl+K; follows picking with Background chosen, back after the image", "",
            "", "key:Ctrl+K optbg cmdstart 128,254",
            "ratios=16.09 16.09 16.09 16.09 16.09 1.00 1.00; picking=1; grabs=1");
        row("contrast: back after a session stopped while its image was awaited", "", "",
            "contrast hold cmdstart key:Escape",
            "ratios=21.00 21.00 21.00 21.00 21.00 1.00 1.00; picking=0");
        // Colour details: every form of the current colour, live; Copy takes a form's text.
        const QString whiteForms =
            "#FFFFFF|#FFF|rgb(255 255 255)|rgb(255, 255, 255)|hsl(0 0% 100%)|"
            "hwb(0 100% 0%)|lab(100 0 0)|lch(100 0 0)|oklab(1 0 0)|oklch(1 0 0)|"
            "color(srgb 1 1 1)|white";
        const QString navy = "#112233|#123|rgb(17 34 51)|rgb(17, 34, 51)|hsl(210 50% 13.3%)|"
                             "hwb(210 6.7% 80%)|lab(12.4 -2.5 -13.6)|lch(12.4 13.8 259.5)|"
                             "oklab(0.246 -0.014 -0.037)|oklch(0.246 0.04 249.7)|"
                             "color(srgb 0.067 0.133 0.2)|~midnightblue (ΔE 0.116 in OKLab)";
        row("details: a double click on the current colour, an exact name", "80FFCC", "", "details",
            "forms=" + whiteForms);
        row("details: Ctrl+D; follows a swatch click; no short hex", "80FFCC112233", "",
            "key:Ctrl+D 1 copyform:0",
            "forms=#80FFCC||rgb(128 255 204)|rgb(128, 255, 204)|hsl(156 100% 75%)|"
            "hwb(156 50% 0%)|lab(91.8 -45.9 13.1)|lch(91.8 47.7 164.1)|"
            "oklab(0.913 -0.131 0.035)|oklch(0.913 0.135 165)|"
            "color(srgb 0.5 1 0.8)|~aquamarine (ΔE 0.011 in OKLab); clip=#80FFCC");
        row("details: the nearest name copied without its distance", "112233", "",
            "details 0 copyform:11", "forms=" + navy + "; clip=midnightblue");
        row("details: follows picking and comes back after the image, with the contrast check", "",
            "", QString("details contrast cmdstart ") + "17,34",
            "forms=#112200|#120|rgb(17 34 0)|rgb(17, 34, 0)|hsl(90 100% 6.7%)|hwb(90 0% 86.7%)|"
            "lab(11 -13 16)|lch(11.1 20.6 129)|oklab(0.228 -0.042 0.047)|"
            "oklch(0.228 0.063 131.6)|color(srgb 0.067 0.133 0)|~darkslategray (ΔE 0.184 in "
            "OKLab); ratios=21.00 21.00 21.00 21.00 21.00 1.00 1.00; picking=1");
        // Export: the dialog's choices reach the file; it closes once written.
        const auto lines = [](const QStringList& l) { return l.join('\n') + '\n'; };
        const QByteArray rgb = "FF000000FF000000FF";
        row("export: my colours newest first, as the palette shows them", rgb, "",
            "export:user/newest/hex/out.txt",
            "exported=" + lines({"#0000FF", "#00FF00", "#FF0000"}) +
                "; dialog=closed; shown=" + "Export colours: my-colours.txt");
        row("export: as offered, my colours newest first as a GIMP palette", rgb, "",
            "export:-/-/-/out.gpl",
            "exported=GIMP Palette\nName: my colours\nColumns: 18\n#\n"
            "# my colours\n  0   0 255\tcolor-1\n  0 255   0\tcolor-2\n255   0   0\tcolor-3\n");
        row("export: my colours in file order, from the page's menu while picking", rgb, "",
            "cmdstart export:user/oldest/hex/out.txt/menu",
            "exported=" + lines({"#FF0000", "#00FF00", "#0000FF"}) + "; picking=0");
        row("export: the web-safe colours as a GIMP palette", rgb, "websafe:2",
            "export:websafe/oldest/gpl/web.gpl",
            "exported=GIMP Palette\nName: web-safe\nColumns: 18\n#\n# web-safe\n 16   0   "
            "0\tcolor-1\n"
            " 16   0   1\tcolor-2\n; shown=Export colours: web-safe-colours.gpl");
        row("export: the saved sets, a colour a field", "", "sets",
            "export:sets/newest/hex/sets.txt",
            "exported=" + lines(setColours(kRecords)) + "; shown=Export colours: colour-sets.txt");
        row("export: cancelled: no file, the dialog stays", rgb, "", "export:user/newest/css/-",
            "exported=<none>; dialog=open");
        row("export: a damaged colour: named, no file", "FF0000zzzzzz", "",
            "export:user/newest/hex/out.txt",
            "exported=<none>; dialog=open; shown=Export colours: my-colours.txt|The colours could "
            "not be exported: record 2 of \"mycolor.rgb\" is not a colour.");
        row("export: a read-only folder: its reason, no file", rgb, "",
            "ro:. export:user/newest/scss/out.scss",
            "exported=<none>; dialog=open; shown=Export colours: my-colours.scss|Cannot export to "
            "\"<dir>/out.scss\": cannot create the temporary file \"<dir>/out.scss.partial\": "
            "Permission denied");
        // Import: a palette file's colours join the user's, oldest first, whole or not at all.
        row("import: a GIMP palette after the user's colours, the newest page shown", records(150),
            "", "> import:good.gpl",
            file(records(150) + "FF00000080FF") +
                "; top=152; usable=> Clean; shown=Import colours");
        row("import: a second page; the palette's buttons kept across a switch", records(143), "",
            "import:good.gpl w u", "top=145; usable=> Clean");
        row("import: from the web-safe palette: the user's colours shown", "112233", "",
            "w import:good.gpl", file("112233FF00000080FF") + "; top=3; usable=Clean");
        row("import: while picking, from the page's menu: the session ends", "", "",
            "cmdstart import:good.gpl/menu", "picking=0; file=FF00000080FF; shown=Import colours");
        row("import: cancelled", "112233", "", "import:-",
            file("112233") + "; shown=Import colours");
        const QString none = "; shown=Import colours|Cannot import \"<dir>/%1\": %2";
        row("import: a bad line names it; nothing imported", "112233", "", "import:bad.gpl",
            file("112233") + none.arg("bad.gpl", "line 3: 300 is more than 255, the most a colour "
                                                 "level can be.\n\nNo colour was imported."));
        row("import: a file of another kind", "112233", "", "import:notes.txt",
            file("112233") + none.arg("notes.txt", "it is neither a GIMP palette nor an Adobe "
                                                   "Swatch Exchange file.\n\nNo colour was "
                                                   "imported."));
        row("import: a palette without colours", "112233", "", "import:empty.gpl",
            file("112233") + "; shown=Import colours|\"<dir>/empty.gpl\" holds no colours: nothing "
                             "was imported.");
        row("import: a read-only user file", "112233", "", "ro:mycolor.rgb import:good.gpl",
            file("112233") + "; shown=Import colours|The colours could not be imported.\n\n"
                             "\"mycolor.rgb\" is read-only, so it cannot be changed.");
        const QString save = "set:2 optbg 0 ";
        const QByteArray saved = "E0F0E0CCFF80AACC88779944CCEEAA00FF00";
        const QString ask = "Please input a name:";
        const auto sets4 = [&](const QStringList& added, const QByteArrayList& records) {
            return "names=" + namesFile(kNames + added) + "; sets=" + kRecords.join() +
                   records.join();
        };
        const auto without = [&](int row) {
            return "names=" + namesFile(kNames.mid(0, row) + kNames.mid(row + 1)) +
                   "; sets=" + (kRecords.mid(0, row) + kRecords.mid(row + 1)).join();
        };
        row("save: Cancel", sets.toLatin1(), "sets", save + "in:- cmdSave",
            sets4({}, {}) + "; shown=" + ask);
        row("save: three blanks: no name; chosen again", sets.toLatin1(), "sets",
            save + "in:___ cmdSave set:0 set:4", sets4({"no name"}, {saved}) + "; page=" + saved);
        row("save: the offered name twice", sets.toLatin1(), "sets", save + "cmdSave cmdSave",
            sets4({"scheme1", "scheme1"}, {saved, saved}) +
                "; prompt=Input name/Please input a name:/scheme1/on top");
        row("save: quotes and accents", sets.toLatin1(), "sets",
            save + QString::fromUtf8("in:\"Caf\xc3\xa9\" cmdSave"),
            sets4({QString::fromUtf8("\"Caf\xc3\xa9\"")}, {saved}));
        row("save: read-only folder", sets.toLatin1(), "sets", save + "ro:. in:Dusk cmdSave",
            sets4({}, {}) + "; shown=" + ask +
                "|The colour set could not be saved: the folder \"<dir>\" is "
                "read-only, so \"set.dat\" and \"colorset.dat\" cannot be changed there.");
        const QString sure = "Do you really want to delete \"%1\"?";
        row("OK deletes exactly one", sets.toLatin1(), "sets", "set:1 ok cmdDelItem",
            without(1) + "; delete=off; shown=" + sure.arg("Ocean"));
        row("Cancel deletes nothing", sets.toLatin1(), "sets", "set:2 cancel cmdDelItem",
            sets4({}, {}) + "; delete=on; shown=" + sure.arg("Forest"));
        row("the focus arriving by Tab asks once", sets.toLatin1(), "sets",
            "set:2 ok tab:cmdDelItem", without(2) + "; shown=" + sure.arg("Forest"));
        row("Space after a cancelled Tab asks once more", sets.toLatin1(), "sets",
            "set:2 cancel tab:cmdDelItem ok space:cmdDelItem",
            without(2) + "; shown=" + sure.arg("Forest") + '|' + sure.arg("Forest"));
        row("delete: read-only folder", sets.toLatin1(), "sets", "set:2 ro:. ok cmdDelItem",
            sets4({}, {}) + "; shown=" + sure.arg("Forest") +
                "|The colour set could not be deleted: the folder \"<dir>\" is read-only, so "
                "\"set.dat\" and \"colorset.dat\" cannot be changed there.");
    }
    void steps()
    {
        QFETCH(QByteArray, userFile);
        QFETCH(QString, setup);
        QFETCH(QString, steps);
        QFETCH(QString, expected);
        if ((steps + ' ' + setup).contains(QRegularExpression("(^| )ro[-:]")) &&
            TestFiles::ignoresPermissions())
            QSKIP("permissions do not bind this user; the unprivileged run covers this");
        Program p(userFile, filesFor(setup));
        p.run(steps);
        p.checkInvariants();
        for (const QString& e : expected.split("; ")) {
            const QString name = e.section('=', 0, 0), want = e.section('=', 1), got = p.fact(name);
            QVERIFY2(got == want,
                     qPrintable(name + ": " + got.left(300) + "\n  expected: " + want.left(300)));
        }
    }

    // A real pointer event reads the pixel under the hot spot (a half goes
    // to the even one) and a click picks it. What is drawn beside it never
    // hides it: the floating sample, cut by the window's edge or not, and
    // where the main window may lie beneath, the readout, inside its screen's
    // window and clear of the sample, and the keys' cross-hair. The marks
    // follow the pointer from screen to screen, one entering with no movement
    // yet included; once they go, the image is whole again.
    void marks_data()
    {
        QTest::addColumn<QPoint>("pointer"); // logical, on the desktop
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("place"); // of the readout from the pointer; empty: none
        const bool own = FakeScreenGrabber::perScreen();
        const auto row = [own](const char* name, QPoint pointer, const char* keys, const char* at) {
            QTest::newRow(name) << pointer << QString(keys) << QString(own ? at : "");
        };
        row("inside", {41, 161}, "", "below right");
        row("partly above the top", {67, 13}, "", "below right");
        row("top right corner", {QGuiApplication::primaryScreen()->size().width() - 1, 1}, "",
            "below left");
        row("keys", {100, 100}, "Right Shift+Down", "below right");
        if (own) {
            row("right screen, bottom", {700, 235}, "", "above right");
            row("bottom right", {955, 235}, "", "above left");
        }
    }
    void marks()
    {
        QFETCH(QPoint, pointer);
        QFETCH(QString, keys);
        QFETCH(QString, place);
        Program p("");
        p.run("cmdstart");
        PickWindow *w = nullptr, *other = p.w().pickSession()->windows().back().get();
        for (const auto& window : p.w().pickSession()->windows())
            w = window->area().contains(pointer) ? window.get() : w;
        const QPoint at = pointer - w->area().topLeft();
        // The image's pixels count from the desktop's top left.
        const qreal ratio = w->layout().ratio();
        const QPoint from = pointer - QGuiApplication::primaryScreen()->virtualGeometry().topLeft();
        QPoint pixel(int(std::nearbyint(from.x() * ratio)), int(std::nearbyint(from.y() * ratio)));
        QEnterEvent enter(at, at, pointer);
        if (w != other) // the other screen's window had the pointer first
            p.run("1910,10"), QCoreApplication::sendEvent(w, &enter);
        else
            QTest::mouseMove(w, at);
        QTRY_COMPARE(p.fact("colour"), colourAt(pixel).name().toUpper());
        QVERIFY(w->sampleVisible() && w->sampleColor() == colourAt(pixel));
        QVERIFY(w == other || !other->sampleVisible());
        QCOMPARE(w->sampleRect(), QRect(at + QPoint(3, -34), QSize(17, 25)));
        QTest::mouseClick(w, Qt::LeftButton, {}, at);
        QCOMPARE(p.file(), recordOf(colourAt(pixel)));
        for (const QString& key : keys.split(' ', Qt::SkipEmptyParts))
            p.run("key:" + key);
        pixel += keys.isEmpty() ? QPoint() : QPoint(1, 10);
        QCOMPARE(p.fact("colour"), colourAt(pixel).name().toUpper());
        QCOMPARE(w->crosshairPixel(),
                 keys.isEmpty() || place.isEmpty() ? std::nullopt : std::optional(pixel));
        const QRect r = w->readoutRect();
        const QPoint hot =
            (w->layout().logicalPoint(pixel) - QPointF(w->area().topLeft())).toPoint();
        const auto side = [](int low, int high, int at, const char* names) {
            return QString(names).split(' ')[low > at ? 0 : high < at ? 1 : 2];
        };
        QCOMPARE(r.isNull() ? ""
                            : side(r.top(), r.bottom(), hot.y(), "below above over") + ' ' +
                                  side(r.left(), r.right(), hot.x(), "right left over"),
                 place);
        QVERIFY(r.isNull() ||
                (QRect(QPoint(), w->size()).contains(r) && !r.intersects(w->sampleRect())));
        // Onto a pixel the sample covers now: the image is read, not the sample,
        // and the pointer takes over from the keys.
        p.moveTo(QPoint(200, 200));
        const QPoint covered = (QPointF(p.pick()->sampleRect().center()) * ratio).toPoint();
        p.moveTo(covered);
        QCOMPARE(p.fact("colour"), colourAt(covered).name().toUpper());
        QVERIFY(!w->crosshairPixel());
        QTest::mouseMove(&p.w(), QPoint(2, 2)); // over the main window the marks go
        p.w().Form_MouseMove();
        QVERIFY(!w->sampleVisible() && w->readoutRect().isNull());
        const QRect part = w->part(); // the image as it was taken, all of it where the readout was
        const QRect under =
            QRectF(QPointF(r.topLeft() + w->area().topLeft()) * ratio, QSizeF(r.size()) * ratio)
                .toAlignedRect();
        for (int y = part.top(); y <= part.bottom(); ++y)
            for (int x = part.left(); x <= part.right(); ++x)
                if ((x % 7 == 0 && y % 7 == 0) || under.contains(x, y))
                    QCOMPARE(w->GetPixel({x, y}), fromQColor(colourAt({x, y})));
        QCOMPARE(w->GetPixel(QPoint(part.right() + 1, part.top())), -1);
    }

    // The loupe: hidden until Z; then beside the pointer on its screen, never
    // over the hot spot or the sample, its middle square the very pixel a
    // click appends, each pixel a sharp square of the zoom's side; it
    // follows the keys and the wheel.
    void loupe_data()
    {
        QTest::addColumn<QPoint>("pixel"); // physical, on the desktop
        QTest::addColumn<QString>("keys"); // after Z
        QTest::addColumn<int>("zoom");
        const QSize screen = QGuiApplication::primaryScreen()->size() *
                             QGuiApplication::primaryScreen()->devicePixelRatio();
        QTest::newRow("8x") << QPoint(301, 257) << "" << 8;
        QTest::newRow("+ and =: 12x, 16x") << QPoint(40, 77) << "+ =" << 16;
        QTest::newRow("- down to 2x and no further") << QPoint(123, 45) << "- - - - - - -" << 2;
        QTest::newRow("+ up to 32x and no further") << QPoint(123, 45) << "+ + + + + + +" << 32;
        QTest::newRow("the wheel: two notches in, one out")
            << QPoint(200, 300) << "in in out" << 12;
        QTest::newRow("top left corner") << QPoint(0, 0) << "" << 8;
        QTest::newRow("bottom right corner, 32x")
            << QPoint(screen.width() - 1, screen.height() - 1) << "+ + + + +" << 32;
        QTest::newRow("keys move it with the pointer") << QPoint(90, 90) << "Right Down" << 8;
        if (FakeScreenGrabber::perScreen()) // the small screen at ratio 2, right of the other
            QTest::newRow("the small screen's bottom right corner") << QPoint(1918, 478) << "" << 8;
    }
    void loupe()
    {
        QFETCH(QPoint, pixel);
        QFETCH(QString, keys);
        QFETCH(int, zoom);
        Program p("");
        p.run(QString("cmdstart %1,%2").arg(pixel.x()).arg(pixel.y()));
        PickWindow* w = p.pick();
        QVERIFY(w->loupeRect().isNull());
        p.run("key:Z");
        for (const QString& key : keys.split(' ', Qt::SkipEmptyParts)) {
            if (key == "in" || key == "out") {
                const QPoint at =
                    (w->layout().logicalPoint(pixel) - QPointF(w->area().topLeft())).toPoint();
                QWheelEvent wheel(at, w->mapToGlobal(at), {}, {0, key == "in" ? 120 : -120},
                                  Qt::NoButton, {}, Qt::NoScrollPhase, false);
                QCoreApplication::sendEvent(w, &wheel);
            } else {
                p.run("key:" + key);
            }
        }
        w = p.pick(); // the pointer's window
        if (keys.contains("Right"))
            pixel += QPoint(1, 1);
        QCOMPARE(w->loupe().zoom, zoom);
        const QRect loupe = w->loupeRect();
        QVERIFY(!loupe.isNull());
        // On the pointer's screen, off the hot spot and the sample.
        const QPointF hot = w->layout().logicalPoint(pixel) - QPointF(w->area().topLeft());
        const QPointF global = hot + QPointF(w->area().topLeft());
        const QScreen* screen = QGuiApplication::screenAt(
            QPoint(int(std::floor(global.x())), int(std::floor(global.y()))));
        QVERIFY(screen && screen->geometry().contains(loupe.translated(w->area().topLeft())));
        QVERIFY(!QRectF(loupe).adjusted(-2, -2, 2, 2).contains(hot));
        // The loupe says what the readout would: it stands in for it.
        QVERIFY(!loupe.intersects(w->sampleRect()) && w->readoutRect().isNull());
        // The middle square: the pixel a click appends, and its neighbours
        // beside it, each a square of the zoom's side (the outline takes
        // the ring between them).
        const QImage shown = w->loupeImage();
        const QRgb middle = colourAt(pixel).rgb();
        // The square of its colour nearest the loupe's middle.
        const QPoint centre(shown.width() / 2, shown.width() / 2);
        QPoint found(-1, -1);
        for (int y = 1; y + zoom < shown.height(); ++y)
            for (int x = 1; x + zoom < shown.width(); ++x)
                if (shown.pixel(x, y) == middle &&
                    shown.pixel(x + zoom - 1, y + zoom - 1) == middle &&
                    shown.pixel(x - 1, y - 1) != middle &&
                    (found.x() < 0 || (QPoint(x, y) - centre).manhattanLength() <
                                          (found - centre).manhattanLength()))
                    found = QPoint(x, y);
        QVERIFY2(found.x() >= 0, "no square of the pixel's colour");
        for (int dy = 0; dy < zoom; ++dy)
            for (int dx = 0; dx < zoom; ++dx)
                QCOMPARE(shown.pixel(found + QPoint(dx, dy)), middle);
        const QRect part = w->part();
        for (const QPoint n : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)}) {
            const QPoint inLoupe = found + QPoint(n.x() > 0   ? zoom + 1
                                                  : n.x() < 0 ? -2
                                                              : 1,
                                                  n.y() > 0   ? zoom + 1
                                                  : n.y() < 0 ? -2
                                                              : 1);
            if (part.contains(pixel + n) && shown.rect().contains(inLoupe))
                QCOMPARE(QColor(shown.pixel(inLoupe)), colourAt(pixel + n));
        }
        p.run("key:Return");
        QCOMPARE(p.file(), recordOf(colourAt(pixel)));
        // Drawn anew, then hidden: the image is whole again where it was.
        const QRect was = w->loupeRect();
        p.run("key:- key:Z");
        QVERIFY(w->loupeRect().isNull());
        const QRect under = QRectF(QPointF(was.topLeft() + w->area().topLeft()) * w->layout().ratio(),
                                   QSizeF(was.size()) * w->layout().ratio())
                                .toAlignedRect() &
                            w->part();
        for (int y = under.top(); y <= under.bottom(); y += 3)
            for (int x = under.left(); x <= under.right(); x += 3)
                QCOMPARE(w->GetPixel({x, y}), fromQColor(colourAt({x, y})));
    }

    // tintaro --pick in the application: what it prints and its status, from
    // a fake desktop; no main window and no file.
    void oneShot_data()
    {
        QTest::addColumn<QString>("desktop"); // image, none (no picture), refuse:<why>
        QTest::addColumn<QString>("form");    // --format's key, or none
        QTest::addColumn<QString>("steps");   // X,Y (physical), L, R, or a key
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        const QString at = colourAt({128, 254}).name().toUpper();
        QTest::newRow("a click prints the pixel") << "image"
                                                  << ""
                                                  << "100,100 128,254 L" << 0 << at + "\n"
                                                  << "";
        QTest::newRow("Return, in the form asked for")
            << "image"
            << "rgb"
            << "128,254 Return" << 0 << "rgb(128 254 0)\n"
            << "";
        QTest::newRow("no short form: #RRGGBB") << "image"
                                                << "hex3"
                                                << "128,254 Return" << 0 << at + "\n"
                                                << "";
        QTest::newRow("a name, exact") << "image"
                                       << "name"
                                       << "255,0 Return" << 0 << "red\n"
                                       << "";
        QTest::newRow("a name, the nearest marked")
            << "image"
            << "name"
            << "255,1 Return" << 0 << "~red (deltaE 0.0003 in OKLab)\n"
            << "";
        QTest::newRow("Return before any movement: the pixel under the pointer")
            << "image"
            << ""
            << "Return" << 0 << "<under>"
            << "";
        QTest::newRow("the loupe shows from the start; Z hides it; a click still picks")
            << "image"
            << ""
            << "40,50 Z L" << 0 << colourAt({40, 50}).name().toUpper() + "\n"
            << "";
        QTest::newRow("Escape: nothing") << "image"
                                         << ""
                                         << "128,254 Escape" << 2 << ""
                                         << "";
        QTest::newRow("a right click: nothing") << "image"
                                                << ""
                                                << "128,254 R" << 2 << ""
                                                << "";
        QTest::newRow("no picture of the screen")
            << "none"
            << ""
            << "" << 2 << ""
            << "tintaro: --pick could not take a picture of the screen\n";
        QTest::newRow("the desktop refuses") << "refuse:Not allowed"
                                             << ""
                                             << "" << 2 << ""
                                             << "tintaro: Not allowed\n";
    }
    void oneShot()
    {
        QFETCH(QString, desktop);
        QFETCH(QString, form);
        QFETCH(QString, steps);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        const ScopedCurrentDir dir;
        const std::unique_ptr<std::FILE, decltype(&std::fclose)> o(std::tmpfile(), &std::fclose),
            e(std::tmpfile(), &std::fclose);
        auto grabber = std::make_unique<FakeScreenGrabber>(
            desktop == "none" ? std::nullopt : std::optional(FakeScreenGrabber::coordinateShot()));
        if (desktop.startsWith("refuse:"))
            grabber->hold(desktop.section(':', 1));
        FakeScreenGrabber* fake = grabber.get();
        OneShotPick pick({cssFormFromKey(form), false}, std::move(grabber), o.get(), e.get());
        QSignalSpy finished(&pick, &OneShotPick::finished);
        pick.start();
        if (desktop.startsWith("refuse:"))
            fake->answer();
        PickWindow* w = pick.session()->window();
        QVERIFY(finished.count() > 0 || (w && w->isVisible() && w->loupe().shown));
        QPointF pointer = QCursor::pos();
        for (const QString& step : steps.split(' ', Qt::SkipEmptyParts)) {
            w = pick.session()->window();
            if (step.contains(',')) {
                pointer = w->layout().logicalPoint(
                    QPoint(step.section(',', 0, 0).toInt(), step.section(',', 1).toInt()));
                w->Form_MouseMove(pointer);
            } else if (step == "L" || step == "R") {
                QTest::mouseClick(w, step == "L" ? Qt::LeftButton : Qt::RightButton, {},
                                  (pointer - QPointF(w->position())).toPoint());
            } else {
                QTest::keyClick(w, QKeySequence(step)[0].key());
            }
        }
        QTRY_COMPARE(finished.count(), 1);
        QCOMPARE(finished.first().first().toInt(), status);
        if (out == "<under>") { // wherever the pointer happens to be
            const std::optional<QPoint> under = w->pixelUnder(QCursor::pos());
            out =
                under
                    ? QColor(FakeScreenGrabber::colourAt(under->x(), under->y())).name().toUpper() +
                          "\n"
                    : QString();
            if (!under)
                QSKIP("the pointer lies off every screen");
        }
        const auto read = [](std::FILE* f) {
            std::rewind(f);
            QByteArray all(4096, '\0');
            all.resize(qsizetype(std::fread(all.data(), 1, std::size_t(all.size()), f)));
            return QString::fromUtf8(all);
        };
        QCOMPARE(read(o.get()), out);
        QCOMPARE(read(e.get()), err);
        QVERIFY(QDir(".").entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
        QVERIFY(QApplication::topLevelWidgets().isEmpty() ||
                !QApplication::topLevelWidgets().constFirst()->isVisible());
    }

    // What the contrast window paints: each element's colour, the passing
    // colours it offers, and every element as each deficiency shows it.
    void contrastPaint()
    {
        Program p("", filesFor("sets"));
        p.run("contrast set:1"); // Ocean: its links fail against its white text
        ContrastWindow* c = p.w().contrastWindow();
        const QImage shot = c->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QSet<QRgb> shown;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                shown.insert(shot.pixel(x, y) & 0xFFFFFF);
        const auto has = [&](ColorValue v) { return shown.contains(toQColor(v).rgb() & 0xFFFFFF); };
        const auto scheme = p.w().schemeColors();
        for (const ColorValue v : scheme)
            QVERIFY2(has(v), qPrintable(ColorToHtml(v)));
        for (int pair = 0; pair < SchemeCheck::kPairCount; ++pair)
            QVERIFY(!c->proposal(pair) || has(*c->proposal(pair)));
        QVERIFY(c->proposal(5) && c->proposal(6));
        for (const Deficiency d : {Deficiency::Protanopia, Deficiency::Deuteranopia,
                                   Deficiency::Tritanopia, Deficiency::Achromatopsia})
            for (const ColorValue v : scheme)
                QVERIFY2(has(simulate(v, d)), qPrintable(deficiencyName(d) + ColorToHtml(v)));
    }

    // The code of the page shown, in three read-only boxes whose texts copy
    // whole; opened again after a change, the page of that moment.
    void codeView()
    {
        Program p("12345680FFCC", filesFor("sets"));
        p.run("set:1"); // the page shows "Ocean"
        QStringList texts, copied;
        const auto read = [&](QDialog* view) {
            QCOMPARE(view->windowTitle(), "HTML and CSS");
            for (const char* name : {"txthtml", "txtic", "txtec"}) {
                auto* box = view->findChild<CodeBox*>(name);
                QVERIFY(box->isReadOnly());
                texts << box->text();
                QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
                QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
                copied << QGuiApplication::clipboard()->text();
            }
            QTRY_COMPARE(QApplication::focusWidget()->objectName(), "cmdexit");
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        };
        p.withDialog(p.ui().cmdcss, read);
        const QString css = "a:link {color:#00CCFF;}\r\na:visited {color:#CCFF99;}\r\n"
                            "a:active {color:#FFCC66;}\r\na:hover {color:#FF9933;}\r\n"
                            "body {background-color:#003366; color:#FFFFFF;}";
        QStringList expected{"<body BGCOLOR=\"#003366\" TEXT=\"#FFFFFF\" LINK=\"#00CCFF\" "
                             "VLINK=\"#CCFF99\" ALINK=\"#FFCC66\">",
                             "<style type=\"text/css\">\r\n<!--\r\n" + css + "\r\n-->\r\n</style>",
                             css};
        QCOMPARE(texts, expected);
        QCOMPARE(copied, expected);
        p.run("optbg 0 opthl 1");
        texts.clear();
        copied.clear();
        p.withDialog(p.ui().cmdcss, read);
        for (QString& text : expected)
            text.replace("#003366", "#80FFCC").replace("#FF9933", "#123456");
        QCOMPARE(texts, expected);
        QCOMPARE(copied, expected);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
