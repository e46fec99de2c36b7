#include "AppFixture.h"

#include "Twips.h"

#include <QClipboard>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QStyle>

namespace {
template <typename T> bool is(const QObject* o)
{
    return qobject_cast<const T*>(o);
}
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

// Start-up from the folder's files, the window's layout and its commands. Its
// title and sizes, the About box and closing are checked end to end (tests/e2e).
class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { MessageBoxes::clearShownTexts(); }

    void startUp_data()
    {
        QTest::addColumn<QByteArray>("userFile"); // null: no file
        QTest::addColumn<int>("count");           // -1: the program cannot start
        QTest::addColumn<QColor>("newest");
        QTest::addColumn<QString>("usable");
        // Made read-only: the user's file or the folder; or set.dat missing or a folder.
        QTest::addColumn<QString>("setup");
        const auto row = [](const char* name, const QByteArray& userFile, int count, QColor newest,
                            const char* usable, const char* setup = "") {
            QTest::newRow(name) << userFile << count << newest << usable << setup;
        };
        using TestFiles::records;
        const QColor white(Qt::white);
        row("user file missing", {}, 0, white, "");
        row("user file empty", "", 0, white, "");
        row("two colours", records(2), 2, QColor(0, 0, 1), "Clean");
        row("a page", records(144), 144, QColor(0, 0, 143), "Clean");
        row("a page and one", records(145), 145, QColor(0, 0, 144), "> Clean");
        row("6N + 3 bytes", records(2) + "FFF", 2, QColor(0, 0, 1), "Clean");
        row("non-hexadecimal", "zzzzzz\x01\x02\x03\x04\x05\x06", 2, white, "Clean");
        row("60 MB", QByteArray(6 * 9'999'998, '0') + "123456ABCDEF", 10'000'000,
            QColor(0xAB, 0xCD, 0xEF), "> Clean");
        row("read-only user file", "00FF00FF0000", 2, Qt::red, "Clean", "mycolor.rgb");
        row("read-only folder, no user file", {}, 0, white, "", ".");
        row("set.dat missing", {}, -1, white, "", "no set.dat");
        row("set.dat unreadable (a folder)", {}, -1, white, "", "set.dat folder");
    }
    void startUp()
    {
        QFETCH(QByteArray, userFile);
        QFETCH(int, count);
        QFETCH(QColor, newest);
        QFETCH(QString, usable);
        QFETCH(QString, setup);
        const bool readOnly = setup == "." || setup == "mycolor.rgb";
        if (readOnly && TestFiles::ignoresPermissions())
            QSKIP("permissions do not bind this user; the unprivileged run covers this");
        ScopedCurrentDir dir;
        if (setup == "set.dat folder")
            QDir().mkdir("set.dat");
        else if (setup != "no set.dat")
            TestFiles::write("set.dat", "\"Default\"\r\n");
        if (!userFile.isNull())
            TestFiles::write("mycolor.rgb", userFile);
        if (readOnly)
            TestFiles::setReadOnly(setup, true);
        const QStringList files = QDir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        if (count < 0)
            MessageBoxes::setNextAnswer(QMessageBox::Ok);
        const auto w = Startup::start();
        TestFiles::setReadOnly(".", false);
        if (count < 0) { // says why, and leaves the folder as it was
            QVERIFY(!w);
            const QString text = MessageBoxes::shownTexts().join('|');
            QVERIFY2(text.contains("\"set.dat\"") &&
                         text.contains(QDir::toNativeSeparators(dir.path())),
                     qPrintable(text));
            QCOMPARE(QDir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot), files);
            return;
        }
        const MainWindowLayout& ui = w->controls();
        QCOMPARE(w->state().UserColorCount, count);
        QCOMPARE(ui.lblcor[0]->backColor(), newest);
        QCOMPARE(w->grid().cellRecord(143), qMax(count - 143, 0));
        QCOMPARE(::usable(ui), usable);
        QVERIFY(!ui.cmdDelItem->isEnabled());
        QCOMPARE(ui.lstCorset->count(), 1);
        // The user's file is made when missing, and else left alone.
        QCOMPARE(TestFiles::read("mycolor.rgb"), userFile.isNull() && setup != "." ? "" : userFile);
    }

    void startThenExpandAndShrink()
    {
        Program p(TestFiles::records(200), {}, false);
        const auto sizing = Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint;
        QVERIFY(!(p.w().windowFlags() & sizing) && !p.ui().cmdstop->isEnabled());
        QVERIFY(p.ui().optnone->isChecked() && p.ui().optuser->isChecked());
        QCOMPARE(p.readout(), QString("#FFFFFF 255,255,255 255 FF 255 FF 255 FF").split(' '));
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
        QCOMPARE(p.usable(), "> Delete Clean frame");
        p.click(p.ui().cmdswap);
        QCOMPARE(p.ui().cmdswap->text(), "Expand>>");
        QVERIFY(p.ui().optnone->isChecked()); // the sample page is out of sight
        QCOMPARE(p.usable(), "> Clean");
        QVERIFY(p.w().pos() == place && p.ui().lblcor[143]->pos() == cell);
    }

    // A misplaced cell or a caption cut off by its control: faults the eye
    // catches that a test of each control alone never sees.
    void layout()
    {
        Program p;
        const auto& c = p.ui().lblcor;
        const auto joined = [](int gap) { return gap == 0 || gap == 1; }; // may cover a pixel
        for (int i = 0; i < 144; ++i) {                                   // eight rows of 18
            const QRect r = c[i]->geometry();
            QVERIFY(c[i]->isVisible() && p.w().rect().contains(r.center()) &&
                    r.size() == c[0]->size());
            QVERIFY(i % 8 == 7 || (c[i + 1]->x() == r.x() && joined(c[i + 1]->y() - r.bottom())));
            QVERIFY(i >= 136 || (c[i + 8]->y() == r.y() && joined(c[i + 8]->x() - r.right())));
        }
        QVERIFY(p.ui().cmdpre->x() == c[0]->x() && p.ui().cmdpre->y() > c[7]->y());
        QVERIFY(p.ui().cmdnext->x() == c[143]->x() && p.ui().cmdnext->y() > c[143]->y());
        for (const auto& [twips, pixels] : {std::pair{7, 0}, {8, 1}, {-80, -5}})
            QCOMPARE(Twips::toPixels(twips), pixels);

        QStringList wrong;
        for (const QWidget* w : p.w().findChildren<QWidget*>()) {
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
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(", ")));
    }

    void windowCommands_data()
    {
        QTest::addColumn<QString>("clicked");
        QTest::addColumn<QUrl>("opened"); // relative: in the program's folder
        QTest::newRow("Help") << "cmdhelp" << QUrl("help.htm");
        QTest::newRow("logo") << "imgmark" << QUrl("https://tintaro.org");
        QTest::newRow("Minimum") << "cmdmin" << QUrl();
    }
    void windowCommands()
    {
        QFETCH(QString, clicked);
        QFETCH(QUrl, opened);
        Program p;
        QList<QUrl> urls;
        p.w().setUrlOpener([&urls](const QUrl& u) { urls << u; });
        QTest::mouseClick(p.find(clicked), Qt::LeftButton, {}, QPoint(5, 5));
        if (opened.isRelative() && !opened.isEmpty())
            opened = QUrl::fromLocalFile(p.path(opened.path()));
        QCOMPARE(urls, opened.isEmpty() ? QList<QUrl>() : QList<QUrl>{opened});
        QTRY_VERIFY(p.w().isMinimized());
    }

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
        row("153: one column on", records(153), ">", 145, "< > Clean");
        row("web-safe: its own first page", records(300), "3 > w", 216, ">");
        row("web-safe: last page", records(300), toEnd, 144, "<");
        row("back to the user's page", records(300), toEnd + " u", 292, "< > Clean");
        row("web-safe file missing", records(5), "w", 216, ">", {}, -1);
        row("web-safe file short", records(5), "w", 216, ">", {}, 100);
        row("delete an older one by its menu", records(5), "m3", 4, "Clean",
            records(1) + records(3, 2));
        row("delete the last colour", records(1), "0 D", 0, "", "");
        row("delete record 100 of 200 a column on", records(200), "> 92 D", 191, "< > Clean",
            records(99) + records(100, 100));
        row("clean: the oldest of each stays, in order", "FF000000FF00FF00000000FF00FF00", "0 C", 3,
            "", "FF000000FF000000FF");
        row("clean: letter case counts", "ff0000FF0000ff0000", "0 C", 2, "", "ff0000FF0000");
        row("clean: damaged records compared as bytes", "zz0000zz0000FF0000", "0 C", 2, "",
            "zz0000FF0000");
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

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
