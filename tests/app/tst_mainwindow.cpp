#include "MainWindow.h"
#include "MessageBoxes.h"
#include "ScopedCurrentDir.h"
#include "ShapeWidget.h"
#include "Startup.h"
#include "SwatchLabel.h"
#include "TestFiles.h"
#include "Topmost.h"
#include "Twips.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QtTest>

using namespace tintaro;

namespace {

const QByteArray kDefaultSets = "\"Default\"\r\n\"Ocean\"\r\n";

// Starts the program in `dir` as it would start there; `userFile` null
// means "mycolor.rgb" is absent.
std::unique_ptr<MainWindow> startWith(const ScopedCurrentDir& dir, const QByteArray& setDat,
                                      const QByteArray& userFile = QByteArray())
{
    if (!setDat.isNull())
        TestFiles::write(dir.filePath(QStringLiteral("set.dat")), setDat);
    if (!userFile.isNull())
        TestFiles::write(dir.filePath(QStringLiteral("mycolor.rgb")), userFile);
    return Startup::start();
}

template <typename T = QWidget>
T* control(const MainWindow& w, const QString& name)
{
    T* found = w.findChild<T*>(name);
    if (!found)
        qWarning("no control %s", qPrintable(name));
    return found;
}

QColor swatchColor(const MainWindow& w, int i)
{
    return control<SwatchLabel>(w, QStringLiteral("lblcor_%1").arg(i))->backColor();
}

QColor colorOfRecord(const QByteArray& record)
{
    return QColor(QString::fromLatin1("#" + record));
}

bool isInteractive(const QWidget* w)
{
    return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QLineEdit*>(w) ||
           qobject_cast<const QListWidget*>(w);
}

bool isLabelOrShape(const QWidget* w)
{
    return qobject_cast<const QLabel*>(w) || qobject_cast<const ShapeWidget*>(w);
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void userFileCounts_data();
    void userFileCounts();
    void gridShowsNewestFirst();
    void hugeUserFile();
    void readOnlyUserFile_data();
    void readOnlyUserFile();
    void setNames_data();
    void setNames();
    void cannotStart_data();
    void cannotStart();
    void startStates();
    void gridGeometry_data();
    void gridGeometry();
    void expandAndShrink();
    void captionsFitTheirControls();
    void inputControlsStandAboveLabels();
    void tabOrder();
    void helpAndLogoOpenInBrowser_data();
    void helpAndLogoOpenInBrowser();
    void minimumButton();
    void popupMenuAtDesign();
    void closingUnloads();
    void makeTopmostKeepsPlace();
};

void TestMainWindow::init() { MessageBoxes::clearShownTexts(); }

void TestMainWindow::userFileCounts_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("cleanEnabled");
    QTest::addColumn<bool>("nextEnabled");

    QTest::newRow("missing") << QByteArray() << 0 << false << false;
    QTest::newRow("empty") << QByteArray("") << 0 << false << false;
    QTest::newRow("one record") << TestFiles::records(1) << 1 << false << false;
    QTest::newRow("two records") << TestFiles::records(2) << 2 << true << false;
    QTest::newRow("one page") << TestFiles::records(144) << 144 << true << false;
    QTest::newRow("one more than a page") << TestFiles::records(145) << 145 << true << true;
    QTest::newRow("short tail: 6N + 3 bytes") << TestFiles::records(2) + "FFF" << 2 << true << false;
    QTest::newRow("13 bytes") << TestFiles::records(2) + "F" << 2 << true << false;
    QTest::newRow("only a short tail") << QByteArray("ABC") << 0 << false << false;
    QTest::newRow("non-hexadecimal bytes") << QByteArray("zzzzzz\x01\x02\x03\x04\x05\x06") << 2
                                           << true << false;
}

void TestMainWindow::userFileCounts()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, count);
    QFETCH(bool, cleanEnabled);
    QFETCH(bool, nextEnabled);

    ScopedCurrentDir dir;
    const auto w = startWith(dir, kDefaultSets, bytes);
    QVERIFY(w);
    const AppState& s = w->state();
    QCOMPARE(s.UserColorCount, count);
    QCOMPARE(s.UserPagePos, count);
    QCOMPARE(s.ShowingWebSafe, 0);
    QCOMPARE(s.WebSafePagePos, 216);
    QCOMPARE(s.UserNextEnabled, nextEnabled ? 1 : 0);
    QCOMPARE(s.UserPrevEnabled, 0);
    QCOMPARE(s.WebSafeNextEnabled, 1);
    QCOMPARE(s.WebSafePrevEnabled, 0);
    QCOMPARE(s.Picking, 0);
    QCOMPARE(control(*w, QStringLiteral("cmdclean"))->isEnabled(), cleanEnabled);
    QCOMPARE(control(*w, QStringLiteral("cmdnext"))->isEnabled(), nextEnabled);
    QVERIFY(!control(*w, QStringLiteral("cmdpre"))->isEnabled());
    QCOMPARE(w->grid().cellRecord(0), count > 0 ? count : 0);
    // The file is created when missing, and never changed by starting.
    QCOMPARE(TestFiles::read(dir.filePath(QStringLiteral("mycolor.rgb"))),
             bytes.isNull() ? QByteArray("") : bytes);
}

void TestMainWindow::gridShowsNewestFirst()
{
    ScopedCurrentDir dir;
    // Records 1..4: red, lower-case green, damaged, blue (the newest).
    const auto w = startWith(dir, kDefaultSets, "FF000000ff00GG00000000FF");
    QVERIFY(w);
    QCOMPARE(swatchColor(*w, 0), QColor(0, 0, 255));
    QCOMPARE(swatchColor(*w, 1), QColor(Qt::white)); // damaged record shows white
    QCOMPARE(w->grid().cellRecord(1), 2 + 1);
    QCOMPARE(swatchColor(*w, 2), QColor(0, 255, 0));
    QCOMPARE(swatchColor(*w, 3), QColor(255, 0, 0));
    for (const int empty : {4, 8, 143}) {
        QCOMPARE(swatchColor(*w, empty), QColor(Qt::white));
        QCOMPARE(w->grid().cellRecord(empty), 0);
    }
}

// Ten million records: counted from the length, only the newest page read.
void TestMainWindow::hugeUserFile()
{
    ScopedCurrentDir dir;
    const qint64 records = 10'000'000;
    {
        QFile file(dir.filePath(QStringLiteral("mycolor.rgb")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize((records - 2) * 6));
        QVERIFY(file.seek((records - 2) * 6));
        file.write("123456ABCDEF");
    }
    const auto w = startWith(dir, kDefaultSets);
    QVERIFY(w);
    QCOMPARE(w->state().UserColorCount, int(records));
    QCOMPARE(swatchColor(*w, 0), colorOfRecord("ABCDEF"));
    QCOMPARE(swatchColor(*w, 1), colorOfRecord("123456"));
    QCOMPARE(w->grid().cellRecord(143), int(records) - 143);
    QVERIFY(control(*w, QStringLiteral("cmdnext"))->isEnabled());
}

void TestMainWindow::readOnlyUserFile_data()
{
    QTest::addColumn<bool>("fileExists");
    QTest::newRow("read-only file") << true;
    QTest::newRow("read-only folder, no file") << false;
}

void TestMainWindow::readOnlyUserFile()
{
    QFETCH(bool, fileExists);
    if (TestFiles::ignoresPermissions())
        QSKIP("permissions do not bind this user; the unprivileged run covers this");

    ScopedCurrentDir dir;
    const QString path = dir.filePath(QStringLiteral("mycolor.rgb"));
    TestFiles::write(dir.filePath(QStringLiteral("set.dat")), kDefaultSets);
    if (fileExists) {
        TestFiles::write(path, "00FF00FF0000");
        TestFiles::setReadOnly(path, true);
    } else {
        TestFiles::setReadOnly(dir.path(), true);
    }
    const auto w = Startup::start();
    QVERIFY(w);
    QCOMPARE(w->state().UserColorCount, fileExists ? 2 : 0);
    QCOMPARE(swatchColor(*w, 0), fileExists ? QColor(255, 0, 0) : QColor(Qt::white));
    QCOMPARE(QFileInfo::exists(path), fileExists);
    if (fileExists)
        QCOMPARE(TestFiles::read(path), QByteArray("00FF00FF0000"));
}

void TestMainWindow::setNames_data()
{
    QTest::addColumn<QByteArray>("setDat");
    QTest::addColumn<QStringList>("names");

    QTest::newRow("names in file order") << QByteArray("\"Default\"\r\n\"Zebra\"\r\n\"Apple\"\r\n")
                                         << QStringList{"Default", "Zebra", "Apple"};
    QTest::newRow("empty file") << QByteArray("") << QStringList{};
    QTest::newRow("two quotes: empty name") << QByteArray("\"a\"\r\n\"\"\r\n")
                                            << QStringList{"a", ""};
    QTest::newRow("line shorter than two characters keeps its place")
        << QByteArray("\"a\"\r\nx\r\n\r\n\"b\"\r\n") << QStringList{"a", "", "", "b"};
    QTest::newRow("blanks and quotes inside a name kept")
        << QByteArray("\" say \"hi\" \"\r\n") << QStringList{" say \"hi\" "};

    QByteArray many;
    QStringList manyNames;
    for (int i = 0; i < 10000; ++i) {
        manyNames << QStringLiteral("scheme %1").arg(i);
        many += "\"scheme " + QByteArray::number(i) + "\"\r\n";
    }
    QTest::newRow("ten thousand names") << many << manyNames;
}

void TestMainWindow::setNames()
{
    QFETCH(QByteArray, setDat);
    QFETCH(QStringList, names);

    ScopedCurrentDir dir;
    const auto w = startWith(dir, setDat);
    QVERIFY(w);
    const auto* list = control<QListWidget>(*w, QStringLiteral("lstCorset"));
    QStringList shown;
    for (int i = 0; i < list->count(); ++i)
        shown << list->item(i)->text();
    QCOMPARE(shown, names);
    QVERIFY(!control(*w, QStringLiteral("cmdDelItem"))->isEnabled());
}

void TestMainWindow::cannotStart_data()
{
    QTest::addColumn<bool>("setDatIsFolder");
    QTest::newRow("set.dat missing") << false;
    QTest::newRow("set.dat unreadable (a folder)") << true;
}

void TestMainWindow::cannotStart()
{
    QFETCH(bool, setDatIsFolder);

    ScopedCurrentDir dir;
    if (setDatIsFolder)
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("set.dat")));
    const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    MessageBoxes::setNextAnswer(QMessageBox::Ok);
    const auto w = Startup::start();
    QVERIFY(!w);
    QCOMPARE(MessageBoxes::shownTexts().size(), 1);
    const QString text = MessageBoxes::shownTexts().constFirst();
    QVERIFY2(text.contains(QLatin1String("\"set.dat\"")), qPrintable(text));
    QVERIFY2(text.contains(QDir::toNativeSeparators(QDir::currentPath())), qPrintable(text));
    QVERIFY(QApplication::topLevelWidgets().isEmpty() ||
            std::none_of(QApplication::topLevelWidgets().cbegin(),
                         QApplication::topLevelWidgets().cend(),
                         [](const QWidget* t) { return t->isVisible(); }));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
}

void TestMainWindow::startStates()
{
    ScopedCurrentDir dir;
    const auto w = startWith(dir, kDefaultSets, TestFiles::records(3));
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), QStringLiteral("Tintaro2.0"));
    QVERIFY(w->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(!w->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!w->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(!w->isExpanded());
    QCOMPARE(w->size(), Twips::size(3310, 3225));

    for (const char* name : {"cmdstop", "cmdDelItem", "cmddel", "cmdpre"})
        QVERIFY2(!control(*w, QLatin1String(name))->isEnabled(), name);
    for (const char* name : {"cmdstart", "cmdmin", "cmdhelp", "cmdabout", "cmdswap", "cmdSave",
                             "cmdcss", "lstCorset", "cmdclean"})
        QVERIFY2(control(*w, QLatin1String(name))->isEnabled(), name);
    QVERIFY(control<QRadioButton>(*w, QStringLiteral("optnone"))->isChecked());
    QVERIFY(control<QRadioButton>(*w, QStringLiteral("optuser"))->isChecked());
    QVERIFY(!control<QRadioButton>(*w, QStringLiteral("opttext"))->isChecked());
    QVERIFY(!control(*w, QStringLiteral("shp1"))->isVisibleTo(w.get()));
    for (int i = 0; i < 144; ++i)
        QVERIFY(control(*w, QStringLiteral("lblcor_%1").arg(i))->isVisibleTo(w.get()));
    QCOMPARE(control<QPushButton>(*w, QStringLiteral("cmdabout"))->text(), QStringLiteral("About"));
    QCOMPARE(control<QPushButton>(*w, QStringLiteral("cmdswap"))->text(), QStringLiteral("Expand>>"));

    // The readout starts with white, and the large swatch is white.
    const QStringList boxes{"txtrgb", "txtrgb1", "txtr", "txtrh", "txtg", "txtgh", "txtb", "txtbh"};
    const QStringList white{"#FFFFFF", "255,255,255", "255", "FF", "255", "FF", "255", "FF"};
    for (int i = 0; i < boxes.size(); ++i) {
        const auto* box = control<QLineEdit>(*w, boxes[i]);
        QCOMPARE(box->text(), white[i]);
        QVERIFY(box->isReadOnly());
    }
    QCOMPARE(control<SwatchLabel>(*w, QStringLiteral("lblcolor"))->backColor(), QColor(Qt::white));
    QCOMPARE(control<ShapeWidget>(*w, QStringLiteral("shpnew"))->fillColor(), QColor(Qt::white));

    // The target options form one group, the palette options another.
    auto* opttext = control<QRadioButton>(*w, QStringLiteral("opttext"));
    opttext->click();
    QVERIFY(!control<QRadioButton>(*w, QStringLiteral("optnone"))->isChecked());
    QVERIFY(control<QRadioButton>(*w, QStringLiteral("optuser"))->isChecked());

    QTRY_COMPARE(QApplication::focusWidget(), control(*w, QStringLiteral("cmdstart")));
}

void TestMainWindow::gridGeometry_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("top");
    QTest::newRow("cell 0") << "lblcor_0" << 2016 << 3876;
    QTest::newRow("cell 1, below cell 0") << "lblcor_1" << 2016 << 4100;
    QTest::newRow("cell 7, bottom of the first column") << "lblcor_7" << 2016 << 5444;
    QTest::newRow("cell 8, right of cell 0") << "lblcor_8" << 2315 << 3876;
    QTest::newRow("cell 143") << "lblcor_143" << 7099 << 5444;
    QTest::newRow("back page button") << "cmdpre" << 2016 << 5467;
    QTest::newRow("forward page button") << "cmdnext" << 7099 << 5467;
}

void TestMainWindow::gridGeometry()
{
    QFETCH(QString, name);
    QFETCH(int, left);
    QFETCH(int, top);

    ScopedCurrentDir dir;
    const auto w = startWith(dir, kDefaultSets);
    QVERIFY(w);
    const QWidget* c = control(*w, name);
    QCOMPARE(c->pos(), QPoint(Twips::toPixels(left), Twips::toPixels(top)));
    const QSize size = name.startsWith(QLatin1String("cmd")) ? Twips::size(300, 285)
                                                             : Twips::size(300, 225);
    QVERIFY(qAbs(c->width() - size.width()) <= 1 && qAbs(c->height() - size.height()) <= 1);
}

void TestMainWindow::expandAndShrink()
{
    ScopedCurrentDir dir;
    const auto w = startWith(dir, kDefaultSets, TestFiles::records(5));
    QVERIFY(w);
    auto* swap = control<QPushButton>(*w, QStringLiteral("cmdswap"));
    const QPoint place = w->pos();

    swap->click();
    QVERIFY(w->isExpanded());
    QCOMPARE(w->size(), Twips::size(7290, 6075));
    QCOMPARE(swap->text(), QStringLiteral("Shrink<<"));
    // Expanding leaves the target as it was.
    QVERIFY(control<QRadioButton>(*w, QStringLiteral("optnone"))->isChecked());

    control<QRadioButton>(*w, QStringLiteral("optbg"))->click();
    swap->click();
    QVERIFY(!w->isExpanded());
    QCOMPARE(w->size(), Twips::size(3310, 3225));
    QCOMPARE(swap->text(), QStringLiteral("Expand>>"));
    QVERIFY(control<QRadioButton>(*w, QStringLiteral("optnone"))->isChecked());
    QVERIFY(!control(*w, QStringLiteral("shp1"))->isVisibleTo(w.get()));
    QVERIFY(!control(*w, QStringLiteral("cmddel"))->isEnabled());
    QCOMPARE(w->pos(), place);
    // Nothing moves: a control keeps its place whatever the size.
    QCOMPARE(control(*w, QStringLiteral("lblcor_143"))->pos(),
             QPoint(Twips::toPixels(7099), Twips::toPixels(5444)));
}

// A caption cut off by its control is a fault the eye catches at once and a
// test of geometry alone never sees.
void TestMainWindow::captionsFitTheirControls()
{
    ScopedCurrentDir dir;
    const auto w = startWith(dir, kDefaultSets);
    QVERIFY(w);
    QStringList cut;
    for (const QPushButton* b : w->findChildren<QPushButton*>()) {
        const QFontMetrics fm(b->font());
        const int margin = 2 * b->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, b) / 2;
        if (fm.horizontalAdvance(b->text()) + margin > b->width() || fm.height() > b->height())
            cut << b->objectName();
    }
    for (const QRadioButton* o : w->findChildren<QRadioButton*>()) {
        const QFontMetrics fm(o->font());
        const int indicator =
            o->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, o) +
            o->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, o);
        if (indicator + fm.horizontalAdvance(o->text()) > o->width())
            cut << o->objectName();
    }
    for (const QLabel* l : w->findChildren<QLabel*>()) {
        if (l->text().isEmpty() || l->wordWrap())
            continue;
        const QFontMetrics fm(l->font());
        // Labels standing partly left of the window are measured from its edge.
        const int visible = l->x() < 0 ? l->width() + l->x() : l->width();
        if (fm.horizontalAdvance(l->text()) > visible || fm.height() > l->height() + 2)
            cut << l->objectName();
    }
    for (const QLabel* l : w->findChildren<QLabel*>()) {
        if (!l->wordWrap() || l->text().isEmpty())
            continue;
        const QRect needed = QFontMetrics(l->font()).boundingRect(
            QRect(0, 0, l->contentsRect().width(), 1000), Qt::TextWordWrap, l->text());
        if (needed.height() > l->contentsRect().height() + 2)
            cut << l->objectName();
    }
    for (const QLineEdit* e : w->findChildren<QLineEdit*>()) {
        // The widest text a box can hold: "255,255,255", "#FFFFFF", "255", "FF".
        const QString widest = e->objectName() == QLatin1String("txtrgb1") ? QStringLiteral("255,255,255")
                               : e->objectName() == QLatin1String("txtrgb") ? QStringLiteral("#FFFFFF")
                               : e->objectName().endsWith(QLatin1Char('h')) ? QStringLiteral("FF")
                                                                            : QStringLiteral("255");
        if (QFontMetrics(e->font()).horizontalAdvance(widest) + 4 > e->width())
            cut << e->objectName();
    }
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QLatin1String(", "))));
}

void TestMainWindow::inputControlsStandAboveLabels()
{
    ScopedCurrentDir dir;
    const auto w = startWith(dir, kDefaultSets);
    QVERIFY(w);
    const QObjectList& children = w->children();
    QStringList wrong;
    for (int i = 0; i < children.size(); ++i) {
        const auto* low = qobject_cast<const QWidget*>(children[i]);
        if (!low || low->isWindow())
            continue;
        for (int j = i + 1; j < children.size(); ++j) {
            const auto* high = qobject_cast<const QWidget*>(children[j]);
            if (!high || high->isWindow() || !low->geometry().intersects(high->geometry()))
                continue;
            // Later children stand higher: a label or shape must not cover an
            // input control, and no label may cover the selection frame.
            const bool coversInput = isInteractive(low) && isLabelOrShape(high);
            const bool coversFrame = low->objectName() == QLatin1String("shp1") &&
                                     qobject_cast<const QLabel*>(high);
            const bool coversOption = qobject_cast<const QRadioButton*>(low) &&
                                      qobject_cast<const QGroupBox*>(high);
            if (coversInput || coversFrame || coversOption)
                wrong << high->objectName() + QLatin1String(" over ") + low->objectName();
        }
    }
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1String(", "))));
    // The text lines of the sample page stand on the page, not under it.
    const int page = children.indexOf(control(*w, QStringLiteral("lbldisplay")));
    for (const char* name : {"lbltext", "lblnl", "lblvl", "lblal", "lblhl"})
        QVERIFY2(children.indexOf(control(*w, QLatin1String(name))) > page, name);
}

void TestMainWindow::tabOrder()
{
    ScopedCurrentDir dir;
    // Enough colours to enable the forward page button and the cleaning.
    const auto w = startWith(dir, kDefaultSets, TestFiles::records(200));
    QVERIFY(w);
    const QStringList expected{"cmdstart", "cmdhelp", "cmdmin",  "cmdabout", "cmdnext",
                               "cmdclean", "txtrgb1", "txtbh",   "optnone",  "cmdswap",
                               "cmdSave",  "lstCorset", "cmdcss", "optuser"};
    // Follow the focus chain from the start button, keeping the controls
    // named above in the order in which Tab reaches them.
    QStringList visited;
    QWidget* start = control(*w, QStringLiteral("cmdstart"));
    QWidget* current = start;
    do {
        if (current->isEnabled() && (current->focusPolicy() & Qt::TabFocus) &&
            expected.contains(current->objectName()))
            visited << current->objectName();
        current = current->nextInFocusChain();
    } while (current != start && visited.size() < 64);
    QCOMPARE(visited, expected);
}

void TestMainWindow::helpAndLogoOpenInBrowser_data()
{
    QTest::addColumn<QString>("clicked");
    QTest::addColumn<QUrl>("url");
    QTest::newRow("help") << "cmdhelp" << QUrl();
    QTest::newRow("logo") << "imgmark" << QUrl(QStringLiteral("https://tintaro.org"));
}

void TestMainWindow::helpAndLogoOpenInBrowser()
{
    QFETCH(QString, clicked);
    QFETCH(QUrl, url);

    ScopedCurrentDir dir;
    const auto w = startWith(dir, kDefaultSets);
    QVERIFY(w);
    QList<QUrl> opened;
    w->setUrlOpener([&opened](const QUrl& u) { opened << u; });
    if (url.isEmpty())
        url = QUrl::fromLocalFile(dir.filePath(QStringLiteral("help.htm")));

    QWidget* target = control(*w, clicked);
    QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(opened, QList<QUrl>{url});
    QVERIFY(url.isLocalFile() ? QFileInfo(url.toLocalFile()).isAbsolute() : true);
    QTRY_VERIFY(w->isMinimized());
    QCOMPARE(w->state().Picking, 0);
    QVERIFY(!control(*w, QStringLiteral("cmdstop"))->isEnabled());
    QVERIFY(control(*w, QStringLiteral("cmdstart"))->isEnabled());
}

void TestMainWindow::minimumButton()
{
    ScopedCurrentDir dir;
    const auto w = startWith(dir, kDefaultSets);
    QVERIFY(w);
    QTest::mouseClick(control(*w, QStringLiteral("cmdmin")), Qt::LeftButton);
    QTRY_VERIFY(w->isMinimized());
}

void TestMainWindow::popupMenuAtDesign()
{
    ScopedCurrentDir dir;
    const auto w = startWith(dir, kDefaultSets);
    QVERIFY(w);
    const auto* menu = control<QMenu>(*w, QStringLiteral("mnuPop"));
    QStringList names;
    QStringList captions;
    for (const QAction* a : menu->actions()) {
        names << a->objectName();
        captions << (a->isSeparator() ? QStringLiteral("-") : a->text());
    }
    QCOMPARE(names, (QStringList{"mnucopyhex", "mnucopyhex1", "mnucopyhex2", "mnucopyhex3",
                                 "mnusep1", "mnucopyrgb1", "mnucopyrgb", "mnusep", "mnuDel"}));
    QCOMPARE(captions, (QStringList{"Copy HEX [Format: #80FFCC]", "Copy HEX [Format: 80FFCC]",
                                    "copy HEX [Format: \"#80FFCC\"]",
                                    "Copy HEX [Format: \"80FFCC\"]", "-",
                                    "Copy RGB [Format: RGB(155,255,120)]",
                                    "Copy RGB [Format: 155,255,120]", "-", "Delete"}));
    QVERIFY(!menu->isVisible());
}

void TestMainWindow::closingUnloads()
{
    ScopedCurrentDir dir;
    const auto w = startWith(dir, kDefaultSets, TestFiles::records(2));
    QVERIFY(w);
    QSignalSpy unloading(w.get(), &MainWindow::unloading);
    QVERIFY(w->close());
    QCOMPARE(unloading.count(), 1);
    QVERIFY(!w->isVisible());
    // The file stays whole after the program lets go of it.
    QCOMPARE(TestFiles::read(dir.filePath(QStringLiteral("mycolor.rgb"))), TestFiles::records(2));
}

void TestMainWindow::makeTopmostKeepsPlace()
{
    QWidget window;
    window.setGeometry(100, 120, 200, 150);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QRect before = window.geometry();
    MakeTopmost(&window);
    QVERIFY(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(window.isVisible());
    QCOMPARE(window.geometry(), before);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
