#include "AppFixture.h"

#include <QClipboard>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>

namespace {

// Right-clicks `c` and closes the menu that opens; what it offered: "Delete",
// "Delete (off)", or nothing.
QString popUp(Program& p, QWidget* c)
{
    QString offered = "no menu";
    const auto connection = QObject::connect(&p.w(), &MainWindow::popupMenuAboutToShow, [&] {
        const bool listed = p.ui().mnuDel->isVisible() && p.ui().mnusep->isVisible();
        offered = !listed ? "" : p.ui().mnuDel->isEnabled() ? "Delete" : "Delete (off)";
        QTimer::singleShot(0, p.ui().mnuPop, &QMenu::close);
    });
    p.click(c, Qt::RightButton);
    QObject::disconnect(connection);
    return offered;
}

} // namespace

// The palette grid: paging, the two palettes, deleting and cleaning colours,
// choosing and copying them, and the sample page's targets.
class TestPaletteWidgets : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { MessageBoxes::clearShownTexts(); }

    void palette_data()
    {
        QTest::addColumn<QByteArray>("file");
        // Pages on (>) and back (<), the web-safe (w) and user's (u) palette, a
        // left click on cell N, Delete on N's menu (mN), "Delete it" (D) and
        // "Clean duplicate" (C); locking the user's file or folder read-only.
        QTest::addColumn<QString>("actions");
        QTest::addColumn<int>("top"); // the record in cell 0
        QTest::addColumn<QString>("usable");
        QTest::addColumn<QByteArray>("kept");    // null: the file as it was
        QTest::addColumn<int>("webSafeColours"); // -1: no file

        const auto row = [](const char* name, const QByteArray& file, const QString& actions,
                            int top, const char* usable, const QByteArray& kept = {},
                            int webSafe = 216) {
            QTest::newRow(name) << file << actions << top << usable << kept << webSafe;
        };
        using TestFiles::records;
        const QString toEnd = "> w > > > > > > > > >"; // the web-safe palette's last page
        row("150", records(150), "3", 150, "> Delete Clean frame");
        row("150: one column on", records(150), "3 >", 142, "< Clean");
        row("150: and back", records(150), "> <", 150, "> Clean");
        row("145: last page", records(145), ">", 137, "< Clean");
        row("153: one column on", records(153), ">", 145, "< > Clean");
        row("153: two columns on", records(153), "> >", 137, "< Clean");
        row("1000: three on, one back", records(1000), "> > > <", 984, "< > Clean");
        row("web-safe: its own first page", records(300), "3 > w", 216, ">");
        row("web-safe: last page", records(300), toEnd, 144, "<");
        row("back to the user's page", records(300), toEnd + " u", 292, "< > Clean");
        row("and to the web-safe page", records(300), toEnd + " u w", 144, "<");
        row("web-safe file missing", records(5), "w", 216, ">", {}, -1);
        row("web-safe file empty", records(5), "w", 216, ">", {}, 0);
        row("web-safe file short", records(5), "w", 216, ">", {}, 100);
        row("web-safe file missing, back", records(5), "w u", 5, "Clean", {}, -1);
        row("delete the newest", records(5), "0 D", 4, "Clean", records(4));
        row("delete an older one by its menu", records(5), "m3", 4, "Clean",
            records(1) + records(3, 2));
        row("delete the last colour", records(1), "0 D", 0, "", "");
        row("delete record 100 of 200 a column on", records(200), "> 92 D", 191, "< > Clean",
            records(99) + records(100, 100));
        row("delete back to one page", records(145), "m10", 144, "Clean",
            records(134) + records(10, 135));
        row("clean: the oldest of each stays, in order", "FF000000FF00FF00000000FF00FF00", "0 C", 3,
            "", "FF000000FF000000FF");
        row("clean: letter case counts", "ff0000FF0000ff0000", "0 C", 2, "", "ff0000FF0000");
        row("clean: damaged records compared as bytes", "zz0000zz0000FF0000", "0 C", 2, "",
            "zz0000FF0000");
        row("clean: short tail dropped", "AAAAAAAAAAAABBB", "0 C", 1, "", "AAAAAA");
        row("clean a column on: back to the newest page", records(300), "> C", 300, ">",
            records(300));
        row("read-only file: nothing deleted", "FF0000FF000000FF00", "mycolor.rgb 1 D", 3,
            "Delete Clean frame");
        row("read-only folder: nothing cleaned", "FF0000FF000000FF00", ". C", 3, "Clean");
    }
    void palette()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, actions);
        QFETCH(int, top);
        QFETCH(QString, usable);
        QFETCH(QByteArray, kept);
        QFETCH(int, webSafeColours);
        const bool readOnly = actions.contains('.');
        if (readOnly && TestFiles::ignoresPermissions())
            QSKIP("permissions do not bind this user; the unprivileged run covers this");

        const QByteArray webSafe =
            webSafeColours < 0 ? QByteArray() : Program::webSafe(webSafeColours);
        Program p(file, {{"websafe.rgb", webSafe}});
        if (readOnly)
            MessageBoxes::setNextAnswer(QMessageBox::Ok);
        for (const QString& a : actions.split(' ')) {
            QWidget* const buttons[] = {p.ui().cmdnext, p.ui().cmdpre, p.ui().optwebsafe,
                                        p.ui().optuser, p.ui().cmddel, p.ui().cmdclean};
            const int button = QString("><wuDC").indexOf(a);
            if (a.size() == 1 && button >= 0) {
                p.click(buttons[button]);
            } else if (a.contains('.')) {
                TestFiles::setReadOnly(p.path(a), true);
            } else if (a.startsWith('m')) {
                QCOMPARE(popUp(p, p.ui().lblcor[a.mid(1).toInt()]), "Delete");
                p.ui().mnuDel->trigger();
            } else {
                p.swatch(a.toInt());
            }
        }
        TestFiles::setReadOnly(p.path("."), false);
        QCOMPARE(MessageBoxes::shownTexts().size(), readOnly ? 1 : 0);
        QVERIFY(!readOnly || MessageBoxes::shownTexts().constFirst().contains("mycolor"));
        QCOMPARE(p.file(), kept.isNull() ? file : kept);
        QVERIFY(!QFileInfo::exists(p.path("mycolor.tmp")));
        QCOMPARE(p.w().state().UserColorCount, int(p.file().size() / 6));
        const bool showingWebSafe = p.ui().optwebsafe->isChecked();
        const QByteArray shown = showingWebSafe ? webSafe : p.file();
        for (int cell = 0; cell < 144; ++cell) { // newest first; white where no record is
            const int record = top - cell;
            const bool there = record > 0 && record * 6 <= shown.size();
            QCOMPARE(p.w().grid().cellRecord(cell), there ? record : 0);
            const QColor c(there ? QString::fromLatin1("#" + shown.mid((record - 1) * 6, 6)) : "");
            QCOMPARE(p.colorAt(cell), c.isValid() ? c : Qt::white);
        }
        QCOMPARE(p.usable(), usable);
        QCOMPARE(p.ui().mnuDel->isVisible(), !showingWebSafe);
        QCOMPARE(QFileInfo::exists(p.path("websafe.rgb")), webSafeColours >= 0);
    }

    // A click with any button makes a swatch's colour the current one; a
    // right click also opens the copy menu.
    void swatchMenu_data()
    {
        QTest::addColumn<int>("cell"); // of "zz0A00", "050a00", "80FFCC"; -1: the current colour
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("copied");
        QTest::addColumn<QString>("offered");
        QTest::addColumn<bool>("webSafe");
        const auto row = [](const char* name, int cell, const char* entry, const char* copied,
                            const char* offered, bool webSafe = false) {
            QTest::newRow(name) << cell << entry << copied << offered << webSafe;
        };
        row("#hex", 0, "mnucopyhex", "#80FFCC", "Delete");
        row("hex, lower case", 1, "mnucopyhex1", "050A00", "Delete");
        row("quoted #hex", 0, "mnucopyhex2", "\"#80FFCC\"", "Delete");
        row("quoted hex, damaged: white", 2, "mnucopyhex3", "\"FFFFFF\"", "Delete");
        row("RGB(), no zero fill", 1, "mnucopyrgb1", "RGB(5,10,0)", "Delete");
        row("triple, empty cell", 9, "mnucopyrgb", "255,255,255", "Delete (off)");
        row("web-safe colour", 0, "mnucopyhex", "#1000D7", "", true);
        row("current colour", -1, "mnucopyrgb", "128,255,204", "");
    }
    void swatchMenu()
    {
        QFETCH(int, cell);
        QFETCH(QString, entry);
        QFETCH(QString, copied);
        QFETCH(QString, offered);
        QFETCH(bool, webSafe);
        Program p("zz0A00050a0080FFCC", {{"set.dat", "\"a\"\r\n\"b\"\r\n"}});
        if (webSafe)
            p.click(p.ui().optwebsafe);
        p.ui().lstCorset->setCurrentRow(1); // a colour set chosen
        auto* before = new QMimeData;       // an image and rich text, to be replaced
        before->setImageData(QImage(4, 4, QImage::Format_RGB32));
        before->setHtml("<b>old</b>");
        QGuiApplication::clipboard()->setMimeData(before);

        p.swatch(qMax(cell, 0), Qt::MiddleButton);
        QCOMPARE(popUp(p, cell < 0 ? p.ui().lblcolor : p.ui().lblcor[cell]), offered);
        QAction* action = p.w().findChild<QAction*>(entry);
        action->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), copied);
        QVERIFY(!QGuiApplication::clipboard()->mimeData()->hasImage());
        QVERIFY(!QGuiApplication::clipboard()->mimeData()->hasHtml());
        QVERIFY(action->text().endsWith("Format: " + copied)); // the entry shows what it copies
        QCOMPARE(QColor(p.ui().txtrgb->text()), p.ui().lblcolor->backColor());
        QVERIFY(p.ui().shp1->geometry().contains(p.ui().lblcor[qMax(cell, 0)]->geometry()));
        // "Delete it" takes a user's colour (the current colour stands for cell 0).
        QCOMPARE(p.usable().contains("Delete"), offered == "Delete" || cell < 0);
        QVERIFY(p.ui().lstCorset->currentRow() == -1 && !p.ui().cmdDelItem->isEnabled());
        QCOMPARE(p.ui().mnuDel->isVisible(), !webSafe); // back after the current colour's menu
        QCOMPARE(p.file(), "zz0A00050a0080FFCC");
    }

    // A swatch colours the element its target option names, and a click on
    // the element gives its colour back.
    void targets_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<int>("field"); // in the sample page's colours; -1: none
        QTest::addColumn<QString>("element");
        QTest::newRow("None") << "optnone" << -1 << "";
        QTest::newRow("Text") << "opttext" << 0 << "lbltext";
        QTest::newRow("Background") << "optbg" << 1 << "lbldisplay";
        QTest::newRow("Normal link") << "optnl" << 2 << "lblnl";
        QTest::newRow("Visited link") << "optvl" << 3 << "lblvl";
        QTest::newRow("Active link") << "optal" << 4 << "lblal";
        QTest::newRow("Hover link") << "opthl" << 5 << "lblhl";
    }
    void targets()
    {
        QFETCH(QString, option);
        QFETCH(int, field);
        QFETCH(QString, element);
        Program p("80FFCC112233");
        std::array<ColorValue, 6> scheme{kBlack, makeColor(255, 255, 255), kBlack, kBlack, kBlack,
                                         kBlack};
        QCOMPARE(p.w().schemeColors(), scheme); // black on white at first
        p.swatch(1);
        p.click(p.find(option));
        QVERIFY(!p.ui().shp1->isVisible()); // a new target: the next colour is for it
        p.swatch(0);
        if (field >= 0)
            scheme[field] = makeColor(0x11, 0x22, 0x33);
        QCOMPARE(p.w().schemeColors(), scheme);
        QVERIFY(p.scheme() != "backgrounds differ");
        if (field < 0)
            return;
        p.click(p.ui().optnone);
        p.swatch(1);
        p.click(p.find(element));
        QCOMPARE(p.readout().mid(0, 2), (QStringList{"#112233", "17,34,51"}));
        QCOMPARE(p.usable(), "Clean");
    }
};

QTEST_MAIN(TestPaletteWidgets)
#include "tst_palettewidgets.moc"
