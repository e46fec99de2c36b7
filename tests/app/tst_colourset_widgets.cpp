#include "CodeBox.h"
#include "CodeTexts.h"
#include "MainWindow.h"
#include "MessageBoxes.h"
#include "ScopedCurrentDir.h"
#include "ShapeWidget.h"
#include "Startup.h"
#include "SwatchLabel.h"
#include "TestFiles.h"
#include "Twips.h"

#include <QClipboard>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using namespace tintaro;

namespace {

// The undeletable first set and three of their own colours. Fields in file
// order: text, background, normal, visited, active, hover.
const QStringList kNames{"Default", "Ocean", "Forest", "Sunset"};
const QList<QByteArray> kRecords{
    "000000FFFFFF000000000000000000000000", "FFFFFF663300FFCC0099FFCC66CCFF3399FF",
    "E0F0E0224411AACC88779944CCEEAA00FF00", "0000801A2B3C4D5E6F7A8B9C0D1E2FABCDEF"};

QByteArray namesFile(const QStringList& names)
{
    QByteArray out;
    for (const QString& name : names)
        out += '"' + name.toLocal8Bit() + "\"\r\n";
    return out;
}

// Closes, and notes, every dialog that really shows while it lives: one a
// test did not pre-answer would otherwise wait for a click that never comes.
class DialogCatcher : public QObject
{
public:
    DialogCatcher()
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                const auto* box = qobject_cast<QMessageBox*>(modal);
                m_texts << (box ? box->text() : modal->windowTitle());
                modal->close();
            }
        });
        m_timer.start(50);
    }
    const QStringList& texts() const { return m_texts; }

private:
    QTimer m_timer;
    QStringList m_texts;
};

class Program
{
public:
    explicit Program(const QStringList& names = kNames, const QList<QByteArray>& records = kRecords)
    {
        TestFiles::write(m_dir.filePath(QStringLiteral("set.dat")), namesFile(names));
        TestFiles::write(m_dir.filePath(QStringLiteral("colorset.dat")), records.join());
        // Swatch 0 shows the newer record, #80FFCC; swatch 1 #123456.
        TestFiles::write(m_dir.filePath(QStringLiteral("mycolor.rgb")), "12345680FFCC");
        m_window = Startup::start();
        m_window->controls().cmdswap->click(); // expanded: everything in reach
        m_window->move(200, 150);
        if (!QTest::qWaitForWindowActive(m_window.get()))
            qWarning("the main window did not become active");
    }

    MainWindow& w() { return *m_window; }
    const MainWindowLayout& ui() { return m_window->controls(); }
    const ScopedCurrentDir& dir() const { return m_dir; }
    QByteArray file(const char* name) const { return TestFiles::read(m_dir.filePath(name)); }

    QStringList listed()
    {
        QStringList entries;
        for (int i = 0; i < ui().lstCorset->count(); ++i)
            entries << ui().lstCorset->item(i)->text();
        return entries;
    }
    void clickItem(int row)
    {
        QListWidget* list = ui().lstCorset;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
    }
    // The sample page's six colours as a record; its six backgrounds agree.
    QByteArray scheme()
    {
        const QColor bg = ui().lbldisplay->backColor();
        for (const SwatchLabel* l : {ui().lbltext, ui().lblnl, ui().lblvl, ui().lblal, ui().lblhl})
            if (l->backColor() != bg)
                return "backgrounds differ";
        return ColorSetRecord::fromColors(m_window->schemeColors()).bytes();
    }
    // Opens the code view and hands it to `examine`; closes it after, should
    // `examine` have stopped short.
    void withCodeView(const std::function<void(QDialog*)>& examine)
    {
        QTimer::singleShot(0, &w(), [examine] {
            const QPointer<QDialog> view =
                qobject_cast<QDialog*>(QApplication::activeModalWidget());
            QVERIFY(view);
            examine(view);
            if (view)
                view->close();
        });
        QTest::mouseClick(ui().cmdcss, Qt::LeftButton); // returns once the view closed
    }

private:
    ScopedCurrentDir m_dir;
    std::unique_ptr<MainWindow> m_window;
};

QStringList codeTexts(const QDialog* view)
{
    QStringList texts;
    for (const char* name : {"txthtml", "txtic", "txtec"})
        texts << view->findChild<CodeBox*>(QLatin1String(name))->text();
    return texts;
}

} // namespace

class TestColourSetWidgets : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { MessageBoxes::clearShownTexts(); }
    void chooseSet_data();
    void chooseSet();
    void leavingTheListClearsTheChoice();
    void saveSet_data();
    void saveSet();
    void deleteSet_data();
    void deleteSet();
    void readOnlyFolder_data();
    void readOnlyFolder();
    void codeView_data();
    void codeView();
    void codeViewFollowsTheScheme();
};

void TestColourSetWidgets::chooseSet_data()
{
    QTest::addColumn<QString>("how"); // "click", or keys once the list has the focus
    QTest::addColumn<int>("row");

    QTest::newRow("click the second") << "click" << 1;
    QTest::newRow("click the last") << "click" << 3;
    QTest::newRow("click the first: Delete stays off") << "click" << 0;
    QTest::newRow("keys: Home, Down") << "HD" << 1;
    QTest::newRow("keys: End, Up") << "EU" << 2;
    QTest::newRow("keys: End, Home") << "EH" << 0;
}

void TestColourSetWidgets::chooseSet()
{
    QFETCH(QString, how);
    QFETCH(int, row);

    Program p;
    p.ui().opttext->click(); // whatever the target, all six colours come
    QTest::mouseClick(p.ui().lblcor[0], Qt::LeftButton); // marks a swatch, enables "Delete it"
    const QString readout = p.ui().txtrgb->text();
    if (how == QLatin1String("click")) {
        p.clickItem(row);
    } else {
        p.ui().lstCorset->setFocus(Qt::TabFocusReason);
        QCOMPARE(p.ui().lstCorset->selectedItems().size(), 0);
        for (const QChar key : how)
            QTest::keyClick(p.ui().lstCorset, key == QLatin1Char('D')   ? Qt::Key_Down
                                              : key == QLatin1Char('U') ? Qt::Key_Up
                                              : key == QLatin1Char('E') ? Qt::Key_End
                                                                        : Qt::Key_Home);
    }
    QCOMPARE(p.ui().lstCorset->currentRow(), row);
    QCOMPARE(p.scheme(), kRecords.at(row));
    QCOMPARE(p.ui().cmdDelItem->isEnabled(), row > 0);
    QCOMPARE(p.w().selectedSetIndex(), row);
    QVERIFY(!p.ui().shp1->isVisible());
    QVERIFY(!p.ui().cmddel->isEnabled());
    QCOMPARE(p.ui().txtrgb->text(), readout); // the current colour stays
    QVERIFY(p.ui().opttext->isChecked());
}

void TestColourSetWidgets::leavingTheListClearsTheChoice()
{
    // Set 3 has a damaged normal link; set 5 has no record at all.
    QList<QByteArray> records = kRecords;
    records[2].replace(12, 6, "GGGGGG");
    Program p(kNames + QStringList{"no colours"}, records);
    p.clickItem(1);
    p.clickItem(2);
    QByteArray expected = kRecords.at(2);
    expected.replace(12, 6, kRecords.at(1).mid(12, 6)); // left as it was
    QCOMPARE(p.scheme(), expected);
    p.clickItem(4);
    QCOMPARE(p.scheme(), expected);
    QVERIFY(p.ui().cmdDelItem->isEnabled());

    QTest::keyClick(p.ui().lstCorset, Qt::Key_Tab);
    QVERIFY(!p.ui().lstCorset->hasFocus());
    QCOMPARE(p.ui().lstCorset->selectedItems().size(), 0);
    QCOMPARE(p.ui().lstCorset->currentRow(), -1);
    QVERIFY(!p.ui().cmdDelItem->isEnabled());
    QCOMPARE(p.w().selectedSetIndex(), 4); // kept for deleting
}

void TestColourSetWidgets::saveSet_data()
{
    // Pre-answered prompts; "<cancel>" presses Cancel, "<prompt>" shows the
    // real prompt and presses OK on what it offers.
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QStringList>("added");

    QTest::newRow("Cancel") << QStringList{"<cancel>"} << QStringList();
    QTest::newRow("empty answer") << QStringList{""} << QStringList();
    QTest::newRow("three blanks: no name") << QStringList{"   "} << QStringList{"no name"};
    QTest::newRow("blanks round a word kept") << QStringList{"  Sea  "} << QStringList{"  Sea  "};
    QTest::newRow("the default twice, the real prompt: two entries")
        << QStringList{"<prompt>", "<prompt>"} << QStringList{"scheme1", "scheme1"};
    QTest::newRow("quotes and accents") << QStringList{QString::fromUtf8("\"Caf\xc3\xa9\"")}
                                        << QStringList{QString::fromUtf8("\"Caf\xc3\xa9\"")};
}

void TestColourSetWidgets::saveSet()
{
    QFETCH(QStringList, answers);
    QFETCH(QStringList, added);

    Program p;
    p.clickItem(2); // set 3 with a new background from swatch 0
    p.ui().optbg->click();
    QTest::mouseClick(p.ui().lblcor[0], Qt::LeftButton);
    const QByteArray scheme = p.scheme();
    QCOMPARE(scheme.mid(6, 6), QByteArray("CCFF80"));

    QStringList prompts;
    for (const QString& answer : answers) {
        if (answer == QLatin1String("<prompt>")) {
            QTimer::singleShot(0, this, [&prompts] {
                QWidget* modal = QApplication::activeModalWidget();
                if (auto* box = qobject_cast<QInputDialog*>(modal)) {
                    if (box->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
                        prompts << box->windowTitle() << box->labelText() << box->textValue();
                    box->accept();
                } else if (modal) {
                    modal->close();
                }
            });
        } else {
            MessageBoxes::setNextInput(answer == QLatin1String("<cancel>")
                                           ? std::nullopt
                                           : std::optional<QString>(answer));
            prompts << QStringLiteral("Input name") << QStringLiteral("Please input a name:")
                    << QStringLiteral("scheme1");
        }
        QTest::mouseClick(p.ui().cmdSave, Qt::LeftButton);
    }
    QCOMPARE(prompts.join(QLatin1Char('|')),
             QStringLiteral("Input name|Please input a name:|scheme1|")
                 .repeated(answers.size())
                 .chopped(1));
    QCOMPARE(MessageBoxes::shownTexts(),
             QStringList(answers.size() - answers.count(QStringLiteral("<prompt>")),
                         QStringLiteral("Please input a name:")));
    QCOMPARE(p.listed(), kNames + added);
    QCOMPARE(p.file("set.dat"), namesFile(kNames + added));
    QCOMPARE(p.file("colorset.dat"), kRecords.join() + scheme.repeated(added.size()));
    if (!added.isEmpty()) { // the new entry gives its colours back
        p.clickItem(0);
        p.clickItem(p.listed().size() - 1);
        QCOMPARE(p.scheme(), scheme);
    }
}

void TestColourSetWidgets::deleteSet_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("press"); // "mouse", "tab" (the focus by keyboard), "space"
    QTest::addColumn<bool>("ok");

    QTest::newRow("OK deletes exactly one: the second") << 1 << "mouse" << true;
    QTest::newRow("OK deletes exactly one: the last") << 3 << "mouse" << true;
    QTest::newRow("Cancel deletes nothing") << 2 << "mouse" << false;
    QTest::newRow("the focus arriving by Tab asks once") << 2 << "tab" << true;
    QTest::newRow("Space after a cancelled Tab asks once more") << 2 << "space" << true;
    QTest::newRow("the first set: Delete stays off") << 0 << "mouse" << true;
}

// One press, one question: a second one would show for real, and be caught.
void TestColourSetWidgets::deleteSet()
{
    QFETCH(int, row);
    QFETCH(QString, press);
    QFETCH(bool, ok);

    Program p;
    const DialogCatcher unexpected;
    p.clickItem(row);
    const QByteArray page = p.scheme();
    QPushButton* del = p.ui().cmdDelItem;
    if (press == QLatin1String("space")) {
        MessageBoxes::setNextAnswer(QMessageBox::Cancel);
        del->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(MessageBoxes::shownTexts().size(), 1);
        MessageBoxes::clearShownTexts();
    }
    MessageBoxes::setNextAnswer(ok ? QMessageBox::Ok : QMessageBox::Cancel);
    if (press == QLatin1String("mouse"))
        QTest::mouseClick(del, Qt::LeftButton);
    else if (press == QLatin1String("tab"))
        del->setFocus(Qt::TabFocusReason);
    else
        QTest::keyClick(del, Qt::Key_Space);
    if (row > 0)
        QTRY_COMPARE(MessageBoxes::shownTexts().size(), 1);
    QCoreApplication::processEvents(); // anything still queued would ask again

    QCOMPARE(MessageBoxes::shownTexts(),
             row > 0 ? QStringList{"Do you really want to delete \"" + kNames.at(row) + "\"?"}
                     : QStringList());
    QCOMPARE(unexpected.texts(), QStringList());
    const bool deleted = ok && row > 0;
    QStringList names = kNames;
    QList<QByteArray> records = kRecords;
    if (deleted) {
        names.removeAt(row);
        records.removeAt(row);
    }
    QCOMPARE(p.listed(), names);
    QCOMPARE(p.file("set.dat"), namesFile(names));
    QCOMPARE(p.file("colorset.dat"), records.join());
    QCOMPARE(del->isEnabled(), row > 0 && !deleted);
    QCOMPARE(p.scheme(), page);
    QCOMPARE(p.w().selectedSetIndex(), row);
}

void TestColourSetWidgets::readOnlyFolder_data()
{
    QTest::addColumn<bool>("deleting");
    QTest::newRow("save") << false;
    QTest::newRow("delete") << true;
}

void TestColourSetWidgets::readOnlyFolder()
{
    QFETCH(bool, deleting);
    if (TestFiles::ignoresPermissions())
        QSKIP("permissions do not bind this user; the unprivileged run covers this");

    Program p;
    p.clickItem(2);
    TestFiles::setReadOnly(p.dir().path(), true);
    const DialogCatcher refusal; // the warning really shows
    if (deleting) {
        MessageBoxes::setNextAnswer(QMessageBox::Ok);
        QTest::mouseClick(p.ui().cmdDelItem, Qt::LeftButton);
    } else {
        MessageBoxes::setNextInput(QStringLiteral("Dusk"));
        QTest::mouseClick(p.ui().cmdSave, Qt::LeftButton);
    }
    QTRY_COMPARE(refusal.texts().size(), 1);
    TestFiles::setReadOnly(p.dir().path(), false);

    const QString message = refusal.texts().constFirst();
    const QString folder = QDir::toNativeSeparators(QDir::currentPath());
    QVERIFY2(message.contains('"' + folder + "\" is read-only"), qPrintable(message));
    QCOMPARE(p.listed(), kNames);
    QCOMPARE(p.file("set.dat"), namesFile(kNames));
    QCOMPARE(p.file("colorset.dat"), kRecords.join());
    QCOMPARE(QDir(p.dir().path()).entryList(QDir::Files).size(), 3);
}

void TestColourSetWidgets::codeView_data()
{
    QTest::addColumn<QString>("closeBy");
    QTest::newRow("Exit") << "exit";
    QTest::newRow("close box") << "close";
    QTest::newRow("Enter on the focused Exit") << "enter";
}

void TestColourSetWidgets::codeView()
{
    QFETCH(QString, closeBy);

    Program p;
    p.clickItem(1); // the page shows "Ocean"
    const ColorSetRecord::Colors scheme = p.w().schemeColors();
    QPointer<QWidget> seen;
    QStringList placed; // controls not at their place, or with a wrong caption
    QString focused;
    QStringList tabChain;
    QStringList texts;
    QStringList copied;
    QPoint centreOffset;
    bool blocked = false;
    p.withCodeView([&](QDialog* view) {
        seen = view;
        QVERIFY(view->isModal());
        QVERIFY(view->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(
            !(view->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(view->windowTitle(), QStringLiteral("HTML and CSS"));
        QCOMPARE(view->objectName(), QStringLiteral("frmcss"));
        QCOMPARE(view->minimumSize(), Twips::size(5475, 5415));
        QCOMPARE(view->maximumSize(), Twips::size(5475, 5415));
        const struct
        {
            const char* name;
            QRect twips;
            const char* caption;
        } layout[] = {{"Label1", {270, 120, 4920, 195}, "HTML"},
                      {"txthtml", {277, 300, 4920, 555}, nullptr},
                      {"Label2", {285, 945, 4920, 240}, "Inline CSS"},
                      {"txtic", {277, 1140, 4935, 1965}, nullptr},
                      {"Label3", {270, 3210, 4920, 240}, "External CSS"},
                      {"txtec", {277, 3420, 4920, 1200}, nullptr},
                      {"cmdexit", {2250, 4830, 975, 330}, "Exit"}};
        for (const auto& c : layout) {
            const QWidget* w = view->findChild<QWidget*>(QLatin1String(c.name));
            const auto* label = qobject_cast<const QLabel*>(w);
            const auto* box = qobject_cast<const CodeBox*>(w);
            const auto* button = qobject_cast<const QPushButton*>(w);
            const bool right = w &&
                               w->geometry() == Twips::rect(c.twips.x(), c.twips.y(),
                                                            c.twips.width(), c.twips.height()) &&
                               (label ? label->text() == QLatin1String(c.caption) &&
                                            label->alignment().testFlag(Qt::AlignHCenter)
                                : button ? button->text() == QLatin1String(c.caption)
                                         : box && box->isReadOnly());
            if (!right)
                placed << QLatin1String(c.name);
        }
        centreOffset = view->frameGeometry().center() - p.w().frameGeometry().center();
        // The window system hands the focus over once the view is up.
        QTRY_VERIFY(QApplication::focusWidget() && QApplication::focusWidget()->window() == view);
        focused = QApplication::focusWidget()->objectName();
        for (int i = 0; i < 4; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            tabChain << QApplication::focusWidget()->objectName();
        }
        // What the user gets: the text each box holds, and what copying gives.
        texts = codeTexts(view);
        for (const char* name : {"txthtml", "txtic", "txtec"}) {
            auto* box = view->findChild<CodeBox*>(QLatin1String(name));
            QGuiApplication::clipboard()->clear();
            QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
            copied << QGuiApplication::clipboard()->text();
        }
        // The main window takes no input meanwhile.
        MessageBoxes::setNextInput(QStringLiteral("blocked"));
        QTest::mouseClick(p.w().windowHandle(), Qt::LeftButton, {},
                          p.ui().cmdSave->mapTo(&p.w(), p.ui().cmdSave->rect().center()));
        blocked = MessageBoxes::shownTexts().isEmpty();
        MessageBoxes::setNextInput(std::nullopt);

        auto* exit = view->findChild<QPushButton*>(QStringLiteral("cmdexit"));
        if (closeBy == QLatin1String("exit"))
            QTest::mouseClick(exit, Qt::LeftButton);
        else if (closeBy == QLatin1String("enter"))
            QTest::keyClick(exit, Qt::Key_Return);
        else
            view->close();
    });

    QVERIFY(!seen); // released on closing
    QCOMPARE(placed, QStringList());
    QVERIFY(blocked);
    QVERIFY2(qAbs(centreOffset.x()) <= 2 && qAbs(centreOffset.y()) <= 2,
             qPrintable(QStringLiteral("%1,%2").arg(centreOffset.x()).arg(centreOffset.y())));
    QCOMPARE(focused, QStringLiteral("cmdexit"));
    QCOMPARE(tabChain, (QStringList{"txthtml", "txtec", "txtic", "cmdexit"}));
    const QString css = CodeTexts::externalCss(scheme);
    QCOMPARE(texts, (QStringList{CodeTexts::bodyTag(scheme), CodeTexts::inlineCss(css), css}));
    QCOMPARE(copied, texts);
    QVERIFY(css.startsWith(QLatin1String("a:link {color:#00CCFF;}\r\na:visited")));
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QVERIFY(p.w().isVisible());
    QCOMPARE(p.listed(), kNames);
}

// Each opening shows the scheme of that moment: twice unchanged gives the
// same texts; a swatch on a chosen target changes every place of that colour.
void TestColourSetWidgets::codeViewFollowsTheScheme()
{
    Program p;
    const auto openAndRead = [&p] {
        QStringList texts;
        p.withCodeView([&texts](QDialog* view) {
            texts = codeTexts(view);
            view->close();
        });
        return texts;
    };
    const QStringList first = openAndRead();
    QCOMPARE(first.constFirst(), QStringLiteral("<body BGCOLOR=\"#FFFFFF\" TEXT=\"#000000\" "
                                                "LINK=\"#000000\" VLINK=\"#000000\" "
                                                "ALINK=\"#000000\">"));
    QCOMPARE(openAndRead(), first);

    p.ui().optbg->click();
    QTest::mouseClick(p.ui().lblcor[0], Qt::LeftButton); // #80FFCC
    QStringList expected = first;
    for (QString& text : expected)
        text.replace(QLatin1String("#FFFFFF"), QLatin1String("#80FFCC"));
    const QStringList second = openAndRead();
    QCOMPARE(second, expected);

    p.ui().opthl->click();
    QTest::mouseClick(p.ui().lblcor[1], Qt::LeftButton); // #123456
    const QStringList third = openAndRead();
    QCOMPARE(third.at(0), second.at(0)); // no hover in the body tag
    const QString hover = QStringLiteral("a:hover {color:#123456;}");
    QCOMPARE(third.at(2).split(QStringLiteral("\r\n")).at(3), hover);
    QCOMPARE(third.at(1).split(QStringLiteral("\r\n")).at(5), hover);
}

QTEST_MAIN(TestColourSetWidgets)
#include "tst_colourset_widgets.moc"
