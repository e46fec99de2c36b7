#include "MainWindow.h"
#include "MessageBoxes.h"
#include "ScopedCurrentDir.h"
#include "ShapeWidget.h"
#include "Startup.h"
#include "SwatchLabel.h"
#include "TestFiles.h"

#include <QClipboard>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using namespace tintaro;

namespace {

// 216 distinct records "000000", "000001", ... stand in for the web-safe file.
const QByteArray kWebSafe = TestFiles::records(216, 0x100000);

class Program
{
public:
    explicit Program(const QByteArray& userFile, const QByteArray& webSafe = kWebSafe)
    {
        TestFiles::write(m_dir.filePath(QStringLiteral("set.dat")), "\"Default\"\r\n");
        if (!userFile.isNull())
            TestFiles::write(m_dir.filePath(QStringLiteral("mycolor.rgb")), userFile);
        if (!webSafe.isNull())
            TestFiles::write(m_dir.filePath(QStringLiteral("websafe.rgb")), webSafe);
        m_window = Startup::start();
        if (m_window)
            m_window->controls().cmdswap->click(); // expanded: everything in reach
    }

    MainWindow& w() { return *m_window; }
    const MainWindowLayout& ui() { return m_window->controls(); }
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QByteArray userFile() const { return TestFiles::read(path(QStringLiteral("mycolor.rgb"))); }
    const ScopedCurrentDir& dir() const { return m_dir; }

    void click(QWidget* widget, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(widget, button, {}, widget->rect().center());
    }
    void clickSwatch(int index, Qt::MouseButton button = Qt::LeftButton)
    {
        click(ui().lblcor[std::size_t(index)], button);
    }
    // The record number shown in each cell, and the colour of a cell.
    std::int32_t recordAt(int cell) { return m_window->grid().cellRecord(cell); }
    QColor colorAt(int cell) { return ui().lblcor[std::size_t(cell)]->backColor(); }
    QStringList readout()
    {
        QStringList texts;
        for (const QLineEdit* box : {ui().txtrgb, ui().txtrgb1, ui().txtr, ui().txtrh, ui().txtg,
                                     ui().txtgh, ui().txtb, ui().txtbh})
            texts << box->text();
        return texts;
    }

private:
    ScopedCurrentDir m_dir;
    std::unique_ptr<MainWindow> m_window;
};

QColor colorOf(const char* rrggbb) { return QColor(QString::fromLatin1("#") + QLatin1String(rrggbb)); }

// What the popup menu showed when it opened: entry captions in order
// (separators as "-"), and whether Delete could be chosen.
struct MenuSeen
{
    QStringList captions;
    bool deleteEnabled = false;
};

// Arms the next popup: records it, then chooses `entry` (or closes it).
void onNextPopup(MainWindow& w, MenuSeen* seen, const QString& entry = QString())
{
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = QObject::connect(&w, &MainWindow::popupMenuAboutToShow, &w, [&w, seen, entry,
                                                                                connection] {
        QObject::disconnect(*connection);
        QTimer::singleShot(0, &w, [&w, seen, entry] {
            QMenu* menu = w.controls().mnuPop;
            QTRY_VERIFY(menu->isVisible());
            for (const QAction* a : menu->actions()) {
                if (!a->isVisible())
                    continue;
                seen->captions << (a->isSeparator() ? QStringLiteral("-") : a->text());
                if (a == w.controls().mnuDel)
                    seen->deleteEnabled = a->isEnabled();
            }
            QAction* chosen = entry.isEmpty() ? nullptr : menu->findChild<QAction*>(entry);
            if (!chosen)
                chosen = w.findChild<QAction*>(entry);
            menu->close();
            if (chosen)
                chosen->trigger();
        });
    });
}

} // namespace

class TestPaletteWidgets : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { MessageBoxes::clearShownTexts(); }
    void paging_data();
    void paging();
    void webSafePalette();
    void webSafeFileDamaged_data();
    void webSafeFileDamaged();
    void swatchClickMakesColourCurrent_data();
    void swatchClickMakesColourCurrent();
    void copyEntries_data();
    void copyEntries();
    void popupOffersDeleteOnlyForUserColours_data();
    void popupOffersDeleteOnlyForUserColours();
    void deleteColour_data();
    void deleteColour();
    void cleanDuplicates_data();
    void cleanDuplicates();
    void upkeepOnReadOnlyFiles_data();
    void upkeepOnReadOnlyFiles();
    void targetsAndElements();
};

void TestPaletteWidgets::paging_data()
{
    QTest::addColumn<int>("colours");
    QTest::addColumn<QString>("clicks"); // n = ">", p = "<"
    QTest::addColumn<int>("top");
    QTest::addColumn<bool>("next");
    QTest::addColumn<bool>("prev");

    QTest::newRow("150 colours") << 150 << "" << 150 << true << false;
    QTest::newRow("150: one column on") << 150 << "n" << 142 << false << true;
    QTest::newRow("150: and back") << 150 << "np" << 150 << true << false;
    QTest::newRow("145: last page") << 145 << "n" << 137 << false << true;
    QTest::newRow("1000: three on, one back") << 1000 << "nnnp" << 984 << true << true;
}

void TestPaletteWidgets::paging()
{
    QFETCH(int, colours);
    QFETCH(QString, clicks);
    QFETCH(int, top);
    QFETCH(bool, next);
    QFETCH(bool, prev);

    Program p(TestFiles::records(colours));
    p.clickSwatch(3);
    for (const QChar c : clicks)
        p.click(c == QLatin1Char('n') ? p.ui().cmdnext : p.ui().cmdpre);
    QCOMPARE(p.w().state().UserPagePos, top);
    QCOMPARE(p.ui().cmdnext->isEnabled(), next);
    QCOMPARE(p.ui().cmdpre->isEnabled(), prev);
    QCOMPARE(p.w().state().UserNextEnabled, next ? 1 : 0);
    QCOMPARE(p.w().state().UserPrevEnabled, prev ? 1 : 0);
    // Cell i shows record top - i, newest first; the rest are white.
    const QByteArray file = TestFiles::records(colours);
    for (int cell = 0; cell < 144; ++cell) {
        const int record = top - cell;
        if (record > 0) {
            QCOMPARE(p.recordAt(cell), record);
            QCOMPARE(p.colorAt(cell), colorOf(file.mid((record - 1) * 6, 6).constData()));
        } else {
            QCOMPARE(p.recordAt(cell), 0);
            QCOMPARE(p.colorAt(cell), QColor(Qt::white));
        }
    }
    if (!clicks.isEmpty()) {
        QVERIFY(!p.ui().shp1->isVisible());
        QVERIFY(!p.ui().cmddel->isEnabled());
    }
}

void TestPaletteWidgets::webSafePalette()
{
    Program p(TestFiles::records(300));
    p.click(p.ui().cmdnext); // the user palette one column on
    p.click(p.ui().optwebsafe);
    QCOMPARE(p.w().state().ShowingWebSafe, 1);
    QCOMPARE(p.colorAt(0), colorOf(kWebSafe.mid(215 * 6, 6).constData()));
    QVERIFY(!p.ui().cmdpre->isEnabled());
    QVERIFY(p.ui().cmdnext->isEnabled());
    for (const char* hidden : {"cmddel", "cmdclean"})
        QVERIFY2(!p.w().findChild<QWidget*>(QLatin1String(hidden))->isVisible(), hidden);
    QVERIFY(!p.ui().mnuDel->isVisible());
    QVERIFY(!p.ui().mnusep->isVisible());

    for (int i = 0; i < 9; ++i)
        p.click(p.ui().cmdnext);
    QCOMPARE(p.w().state().WebSafePagePos, 144);
    QVERIFY(!p.ui().cmdnext->isEnabled());
    QCOMPARE(p.colorAt(143), colorOf(kWebSafe.left(6).constData())); // record 1

    // Back on the user's colours, where they were left.
    p.click(p.ui().optuser);
    QCOMPARE(p.w().state().UserPagePos, 292);
    QVERIFY(p.ui().cmdpre->isEnabled() && p.ui().cmdnext->isEnabled());
    QCOMPARE(p.colorAt(0), colorOf(TestFiles::records(300).mid(291 * 6, 6).constData()));
    QVERIFY(p.ui().cmddel->isVisible() && p.ui().cmdclean->isVisible());
    QVERIFY(p.ui().mnuDel->isVisible());

    // And the web-safe palette where it was left.
    p.click(p.ui().optwebsafe);
    QCOMPARE(p.w().state().WebSafePagePos, 144);
    QVERIFY(p.ui().cmdpre->isEnabled());
    QVERIFY(!p.ui().cmdnext->isEnabled());
    QVERIFY(!QFileInfo(p.path(QStringLiteral("websafe.rgb"))).size() == 0);
}

void TestPaletteWidgets::webSafeFileDamaged_data()
{
    QTest::addColumn<QByteArray>("webSafe");
    QTest::addColumn<int>("whiteCells");
    QTest::newRow("missing") << QByteArray() << 144;
    QTest::newRow("empty") << QByteArray("") << 144;
    QTest::newRow("100 records") << TestFiles::records(100) << 116;
    QTest::newRow("200 records") << TestFiles::records(200) << 16;
}

// A missing or short web-safe file shows white cells, is never created or
// written, and nothing breaks.
void TestPaletteWidgets::webSafeFileDamaged()
{
    QFETCH(QByteArray, webSafe);
    QFETCH(int, whiteCells);

    Program p(TestFiles::records(5), webSafe);
    p.click(p.ui().optwebsafe);
    int white = 0;
    for (int cell = 0; cell < 144; ++cell)
        white += p.colorAt(cell) == QColor(Qt::white) ? 1 : 0;
    QCOMPARE(white, whiteCells);
    p.clickSwatch(0, Qt::LeftButton);
    QCOMPARE(p.readout().constFirst(), QStringLiteral("#FFFFFF"));
    QCOMPARE(QFileInfo::exists(p.path(QStringLiteral("websafe.rgb"))), !webSafe.isNull());
    p.click(p.ui().optuser);
    QCOMPARE(p.colorAt(0), colorOf("000004"));
}

void TestPaletteWidgets::swatchClickMakesColourCurrent_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("cell");
    QTest::addColumn<QStringList>("readout");
    QTest::addColumn<bool>("deletable");

    QTest::newRow("a user colour") << QByteArray("050A0080FFCC") << 0
                                   << QStringList{"#80FFCC", "128,255,204", "128", "80", "255",
                                                  "FF", "204", "CC"}
                                   << true;
    QTest::newRow("small components") << QByteArray("050A0080FFCC") << 1
                                      << QStringList{"#050A00", "5,10,0", "005", "05", "010", "0A",
                                                     "000", "00"}
                                      << true;
    QTest::newRow("lower-case record") << QByteArray("80ffcc") << 0
                                       << QStringList{"#80FFCC", "128,255,204", "128", "80", "255",
                                                      "FF", "204", "CC"}
                                       << true;
    QTest::newRow("an empty cell") << QByteArray("050A00") << 9
                                   << QStringList{"#FFFFFF", "255,255,255", "255", "FF", "255",
                                                  "FF", "255", "FF"}
                                   << false;
    QTest::newRow("a damaged record") << QByteArray("zz0A00") << 0
                                      << QStringList{"#FFFFFF", "255,255,255", "255", "FF", "255",
                                                     "FF", "255", "FF"}
                                      << true;
}

void TestPaletteWidgets::swatchClickMakesColourCurrent()
{
    QFETCH(QByteArray, file);
    QFETCH(int, cell);
    QFETCH(QStringList, readout);
    QFETCH(bool, deletable);

    Program p(file);
    p.ui().lstCorset->setCurrentRow(0);
    p.click(p.ui().opttext);
    for (const Qt::MouseButton button : {Qt::LeftButton, Qt::MiddleButton}) {
        p.clickSwatch(cell, button);
        QCOMPARE(p.readout(), readout);
        const QColor colour(readout.constFirst());
        QCOMPARE(p.ui().lblcolor->backColor(), colour);
        QCOMPARE(p.ui().lbltext->foreColor(), colour); // the chosen target takes it
        QCOMPARE(p.ui().lbldisplay->backColor(), QColor(Qt::white));
        QVERIFY(p.ui().shp1->isVisible());
        QCOMPARE(p.ui().shp1->geometry(), MainWindowLayout::selectionFrameRect(cell));
        QCOMPARE(p.ui().cmddel->isEnabled(), deletable);
        QCOMPARE(p.w().selectedRecord(), deletable ? int(file.size() / 6) - cell : 0);
        QCOMPARE(p.ui().lstCorset->currentRow(), -1);
        QVERIFY(!p.ui().cmdDelItem->isEnabled());
    }
}

void TestPaletteWidgets::copyEntries_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("copied");

    QTest::newRow("#hex") << QByteArray("80FFCC") << "mnucopyhex" << "#80FFCC";
    QTest::newRow("hex") << QByteArray("80FFCC") << "mnucopyhex1" << "80FFCC";
    QTest::newRow("quoted #hex") << QByteArray("80FFCC") << "mnucopyhex2" << "\"#80FFCC\"";
    QTest::newRow("quoted hex") << QByteArray("80FFCC") << "mnucopyhex3" << "\"80FFCC\"";
    QTest::newRow("RGB()") << QByteArray("80FFCC") << "mnucopyrgb1" << "RGB(128,255,204)";
    QTest::newRow("triple") << QByteArray("80FFCC") << "mnucopyrgb" << "128,255,204";
    QTest::newRow("black #hex") << QByteArray("000000") << "mnucopyhex" << "#000000";
    QTest::newRow("black triple") << QByteArray("000000") << "mnucopyrgb" << "0,0,0";
    QTest::newRow("no zero fill in RGB()") << QByteArray("050A00") << "mnucopyrgb1"
                                           << "RGB(5,10,0)";
    QTest::newRow("lower case copied upper") << QByteArray("0a0bcc") << "mnucopyhex1" << "0A0BCC";
}

void TestPaletteWidgets::copyEntries()
{
    QFETCH(QByteArray, record);
    QFETCH(QString, entry);
    QFETCH(QString, copied);

    Program p(record);
    // Something else on the clipboard first: an image and rich text.
    auto* before = new QMimeData;
    before->setImageData(QImage(4, 4, QImage::Format_RGB32));
    before->setHtml(QStringLiteral("<b>old</b>"));
    QGuiApplication::clipboard()->setMimeData(before);

    MenuSeen seen;
    onNextPopup(p.w(), &seen, entry);
    p.clickSwatch(0, Qt::RightButton);
    QTRY_COMPARE(QGuiApplication::clipboard()->text(), copied);
    const QMimeData* now = QGuiApplication::clipboard()->mimeData();
    QVERIFY(!now->hasImage());
    QVERIFY(!now->hasHtml());

    // The entries carry the colour's own values.
    const QString html = p.readout().constFirst();
    const QString triple = p.readout().at(1);
    const QString digits = html.mid(1);
    QCOMPARE(seen.captions,
             (QStringList{"Copy HEX - Format: " + html, "Copy HEX - Format: " + digits,
                          "Copy HEX - Format: \"" + html + "\"",
                          "Copy HEX - Format: \"" + digits + "\"", "-",
                          "Copy RGB - Format: RGB(" + triple + ")", "Copy RGB - Format: " + triple,
                          "-", "Delete"}));
    // Copying changes nothing else.
    QCOMPARE(p.userFile(), record);
    QVERIFY(p.ui().shp1->isVisible());
}

void TestPaletteWidgets::popupOffersDeleteOnlyForUserColours_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<bool>("listed");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("user colour") << "user" << true << true;
    QTest::newRow("empty cell") << "empty" << true << false;
    QTest::newRow("web-safe colour") << "websafe" << false << false;
    QTest::newRow("current-colour swatch") << "current" << false << false;
}

void TestPaletteWidgets::popupOffersDeleteOnlyForUserColours()
{
    QFETCH(QString, where);
    QFETCH(bool, listed);
    QFETCH(bool, enabled);

    Program p(TestFiles::records(3));
    if (where == QLatin1String("websafe"))
        p.click(p.ui().optwebsafe);
    MenuSeen seen;
    onNextPopup(p.w(), &seen);
    if (where == QLatin1String("current"))
        p.click(p.ui().lblcolor, Qt::RightButton);
    else
        p.clickSwatch(where == QLatin1String("empty") ? 50 : 0, Qt::RightButton);
    QVERIFY(!seen.captions.isEmpty());
    QCOMPARE(seen.captions.contains(QStringLiteral("Delete")), listed);
    QCOMPARE(seen.captions.count(QStringLiteral("-")), listed ? 2 : 1);
    if (listed)
        QCOMPARE(seen.deleteEnabled, enabled);
    // After the current-colour swatch's menu, Delete is back for swatches.
    QCOMPARE(p.ui().mnuDel->isVisible(), where != QLatin1String("websafe"));
    QCOMPARE(p.ui().mnusep->isVisible(), where != QLatin1String("websafe"));
}

void TestPaletteWidgets::deleteColour_data()
{
    QTest::addColumn<int>("colours");
    QTest::addColumn<QString>("clicks"); // page clicks before choosing
    QTest::addColumn<int>("cell");
    QTest::addColumn<bool>("byMenu");
    QTest::addColumn<int>("top");
    QTest::addColumn<bool>("next");

    QTest::newRow("the newest colour") << 5 << "" << 0 << false << 4 << false;
    QTest::newRow("an older colour, by the menu") << 5 << "" << 3 << true << 4 << false;
    QTest::newRow("the only colour") << 1 << "" << 0 << false << 0 << false;
    QTest::newRow("record 100 of 200, top 192") << 200 << "n" << 92 << false << 191 << true;
    QTest::newRow("back to one page") << 145 << "" << 10 << true << 144 << false;
}

void TestPaletteWidgets::deleteColour()
{
    QFETCH(int, colours);
    QFETCH(QString, clicks);
    QFETCH(int, cell);
    QFETCH(bool, byMenu);
    QFETCH(int, top);
    QFETCH(bool, next);

    const QByteArray before = TestFiles::records(colours);
    Program p(before);
    // Nothing chosen yet: deleting does nothing.
    p.w().cmddel_Click();
    QCOMPARE(p.userFile(), before);
    for (int i = 0; i < clicks.size(); ++i)
        p.click(p.ui().cmdnext);
    const int doomed = p.recordAt(cell);
    const QColor firstBefore = p.colorAt(0);
    if (byMenu) {
        MenuSeen seen;
        onNextPopup(p.w(), &seen, QStringLiteral("mnuDel"));
        p.clickSwatch(cell, Qt::RightButton);
    } else {
        p.clickSwatch(cell);
        p.click(p.ui().cmddel);
    }
    QByteArray expected = before;
    expected.remove((doomed - 1) * 6, 6);
    QCOMPARE(p.userFile(), expected);
    QVERIFY(!QFileInfo::exists(p.path(QStringLiteral("mycolor.tmp"))));
    QCOMPARE(p.w().state().UserColorCount, colours - 1);
    QCOMPARE(p.w().state().UserPagePos, top);
    QCOMPARE(p.ui().cmdnext->isEnabled(), next);
    QVERIFY(!p.ui().cmddel->isEnabled());
    QVERIFY(!p.ui().shp1->isVisible());
    if (cell > 0)
        QCOMPARE(p.colorAt(0), firstBefore); // cell 0 keeps its colour
    // The cells after the deleted one close up.
    for (int c = cell; c < 144; ++c) {
        const int record = top - c;
        QCOMPARE(p.colorAt(c), record > 0 ? colorOf(expected.mid((record - 1) * 6, 6).constData())
                                          : QColor(Qt::white));
    }
}

void TestPaletteWidgets::cleanDuplicates_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("kept");

    QTest::newRow("oldest of each survives, in order")
        << QByteArray("FF000000FF00FF00000000FF00FF00") << QByteArray("FF000000FF000000FF");
    QTest::newRow("letter case counts") << QByteArray("ff0000FF0000ff0000")
                                        << QByteArray("ff0000FF0000");
    QTest::newRow("no duplicates: unchanged") << TestFiles::records(300) << TestFiles::records(300);
    QTest::newRow("all the same") << QByteArray("123456123456123456") << QByteArray("123456");
    QTest::newRow("damaged records compared as bytes")
        << QByteArray("zz0000zz0000FF0000") << QByteArray("zz0000FF0000");
    QTest::newRow("short tail dropped") << QByteArray("AAAAAAAAAAAABBB") << QByteArray("AAAAAA");
}

void TestPaletteWidgets::cleanDuplicates()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, kept);

    Program p(file);
    if (p.ui().cmdnext->isEnabled())
        p.click(p.ui().cmdnext); // cleaning returns to the newest page
    p.clickSwatch(0);
    p.click(p.ui().cmdclean);
    QCOMPARE(p.userFile(), kept);
    QVERIFY(!QFileInfo::exists(p.path(QStringLiteral("mycolor.tmp"))));
    const int count = int(kept.size() / 6);
    QCOMPARE(p.w().state().UserColorCount, count);
    QCOMPARE(p.w().state().UserPagePos, count);
    QVERIFY(!p.ui().cmdclean->isEnabled());
    QVERIFY(!p.ui().cmdpre->isEnabled());
    QCOMPARE(p.ui().cmdnext->isEnabled(), count > 144);
    QVERIFY(!p.ui().shp1->isVisible());
    for (int c = 0; c < qMin(count, 144); ++c)
        QCOMPARE(p.recordAt(c), count - c);
}

void TestPaletteWidgets::upkeepOnReadOnlyFiles_data()
{
    QTest::addColumn<bool>("folderReadOnly");
    QTest::addColumn<bool>("cleaning");
    QTest::newRow("read-only file, delete") << false << false;
    QTest::newRow("read-only file, clean") << false << true;
    QTest::newRow("read-only folder, delete") << true << false;
    QTest::newRow("read-only folder, clean") << true << true;
}

void TestPaletteWidgets::upkeepOnReadOnlyFiles()
{
    QFETCH(bool, folderReadOnly);
    QFETCH(bool, cleaning);
    if (TestFiles::ignoresPermissions())
        QSKIP("permissions do not bind this user; the unprivileged run covers this");

    const QByteArray file("FF0000FF000000FF00");
    Program p(file);
    TestFiles::setReadOnly(folderReadOnly ? p.dir().path() : p.path(QStringLiteral("mycolor.rgb")),
                           true);
    p.clickSwatch(1);
    MessageBoxes::setNextAnswer(QMessageBox::Ok);
    p.click(cleaning ? p.ui().cmdclean : p.ui().cmddel);

    QCOMPARE(MessageBoxes::shownTexts().size(), 1);
    QVERIFY2(MessageBoxes::shownTexts().constFirst().contains(QLatin1String("mycolor")),
             qPrintable(MessageBoxes::shownTexts().constFirst()));
    TestFiles::setReadOnly(p.dir().path(), false);
    QCOMPARE(p.userFile(), file);
    QCOMPARE(p.w().state().UserColorCount, 3);
    QCOMPARE(p.colorAt(0), QColor(0, 255, 0));
    QCOMPARE(p.colorAt(1), QColor(255, 0, 0));
    QCOMPARE(p.colorAt(2), QColor(255, 0, 0));
    QVERIFY(!QFileInfo::exists(p.path(QStringLiteral("mycolor.tmp"))));
}

void TestPaletteWidgets::targetsAndElements()
{
    Program p(QByteArray("80FFCC112233"));
    // Right after start-up: black text and links on white.
    p.click(p.ui().lbltext);
    QCOMPARE(p.readout().mid(0, 2), (QStringList{"#000000", "0,0,0"}));
    p.click(p.ui().lbldisplay, Qt::LeftButton);
    QCOMPARE(p.readout().mid(0, 2), (QStringList{"#FFFFFF", "255,255,255"}));

    // With "None" a swatch changes no element.
    p.clickSwatch(1);
    for (SwatchLabel* l : {p.ui().lbltext, p.ui().lblnl, p.ui().lblvl, p.ui().lblal, p.ui().lblhl}) {
        QCOMPARE(l->foreColor(), QColor(Qt::black));
        QCOMPARE(l->backColor(), QColor(Qt::white));
    }

    // "Background" repaints the whole page; text and links keep theirs.
    p.click(p.ui().optbg);
    QVERIFY(!p.ui().shp1->isVisible());
    p.clickSwatch(1);
    for (SwatchLabel* l : {p.ui().lbltext, p.ui().lblnl, p.ui().lblvl, p.ui().lblal, p.ui().lblhl,
                           p.ui().lbldisplay}) {
        QCOMPARE(l->backColor(), colorOf("80FFCC"));
        if (l != p.ui().lbldisplay)
            QCOMPARE(l->foreColor(), QColor(Qt::black));
    }

    // Each link option colours its own line; a click on it reads it back.
    const struct
    {
        QRadioButton* option;
        SwatchLabel* line;
    } links[] = {{p.ui().optnl, p.ui().lblnl},
                 {p.ui().optvl, p.ui().lblvl},
                 {p.ui().optal, p.ui().lblal},
                 {p.ui().opthl, p.ui().lblhl}};
    for (const auto& link : links) {
        p.click(link.option);
        QVERIFY2(!p.ui().shp1->isVisible(), qPrintable(link.option->objectName()));
        p.clickSwatch(0);
        QCOMPARE(link.line->foreColor(), colorOf("112233"));
        p.clickSwatch(1); // the current colour moves elsewhere...
        p.click(p.ui().optnone);
        p.click(link.line); // ...and the line gives its own back
        QCOMPARE(p.readout().constFirst(), QStringLiteral("#80FFCC"));
        QVERIFY(!p.ui().cmddel->isEnabled());
    }
    const auto scheme = p.w().schemeColors();
    QCOMPARE(scheme[1], makeColor(0x80, 0xFF, 0xCC));
    QCOMPARE(scheme[5], makeColor(0x80, 0xFF, 0xCC));

    // Shrinking chooses "None" again.
    p.click(p.ui().opttext);
    p.click(p.ui().cmdswap);
    QVERIFY(p.ui().optnone->isChecked());
}

QTEST_MAIN(TestPaletteWidgets)
#include "tst_palettewidgets.moc"
