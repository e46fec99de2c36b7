#include "AppFixture.h"

#include "CodeBox.h"

#include <QClipboard>
#include <QInputDialog>
#include <QListWidget>

namespace {

// The undeletable first set and three more. Fields in file order: text,
// background, normal, visited, active, hover, each as BBGGRR.
const QStringList kNames{"Default", "Ocean", "Forest", "Sunset"};
const QList<QByteArray> kRecords{
    "000000FFFFFF000000000000000000000000", "FFFFFF663300FFCC0099FFCC66CCFF3399FF",
    "E0F0E0224411AACC88779944CCEEAA00FF00", "0000801A2B3C4D5E6F7A8B9C0D1E2FABCDEF"};

QByteArray namesFile(const QStringList& names)
{
    QByteArray out;
    for (const QString& name : names)
        out += '"' + name.toUtf8() + "\"\r\n";
    return out;
}

// Notes and closes every message box that really shows while it lives: one a
// test did not pre-answer would otherwise wait for a click that never comes.
class DialogCatcher : public QTimer
{
public:
    DialogCatcher()
    {
        connect(this, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                texts << box->text();
                box->close();
            }
        });
        start(50);
    }
    QStringList texts;
};

// The sets above; swatch 0 shows #80FFCC, swatch 1 #123456.
class Sets : public Program
{
public:
    explicit Sets(const QStringList& names = kNames, const QList<QByteArray>& records = kRecords)
        : Program("12345680FFCC", {{"set.dat", namesFile(names)}, {"colorset.dat", records.join()}})
    {
    }
    void clickItem(int row)
    {
        QListWidget* list = ui().lstCorset;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
    }
    // The list and both files hold these sets, and nothing else is left in
    // the folder; a read-only folder was named in the one warning shown.
    void check(const QStringList& names, const QList<QByteArray>& records,
               const QStringList& warnings, bool readOnly)
    {
        TestFiles::setReadOnly(".", false);
        QStringList listed;
        for (int i = 0; i < ui().lstCorset->count(); ++i)
            listed << ui().lstCorset->item(i)->text();
        QCOMPARE(listed, names);
        QCOMPARE(file("set.dat"), namesFile(names));
        QCOMPARE(file("colorset.dat"), records.join());
        QCOMPARE(QDir().entryList(QDir::Files).size(), 4);
        const QString folder =
            '"' + QDir::toNativeSeparators(QDir::currentPath()) + "\" is read-only";
        QCOMPARE(warnings.size(), readOnly ? 1 : 0);
        QVERIFY(!readOnly || warnings.constFirst().contains(folder));
    }
};

} // namespace

// Colour sets: choosing, saving and deleting them, and the code view.
class TestColourSetWidgets : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { MessageBoxes::clearShownTexts(); }

    void chooseSet_data()
    {
        QTest::addColumn<QString>("how"); // digits: clicks on those rows; else keys in the list
        QTest::addColumn<int>("row");
        QTest::addColumn<QByteArray>("page");
        QByteArray mixed = kRecords.at(2);
        mixed.replace(12, 6, kRecords.at(1).mid(12, 6));
        QTest::newRow("click the first: Delete stays off") << "0" << 0 << kRecords.at(0);
        QTest::newRow("click the last") << "3" << 3 << kRecords.at(3);
        QTest::newRow("keys: Home, Down") << "HD" << 1 << kRecords.at(1);
        QTest::newRow("a damaged field keeps its colour") << "14" << 4 << mixed;
        QTest::newRow("a set without a record changes nothing") << "145" << 5 << mixed;
    }
    void chooseSet()
    {
        QFETCH(QString, how);
        QFETCH(int, row);
        QFETCH(QByteArray, page);
        QByteArray damaged = kRecords.at(2);
        damaged.replace(12, 6, "GGGGGG");
        Sets p(kNames + QStringList{"Damaged", "No record"}, kRecords + QList<QByteArray>{damaged});
        QListWidget* list = p.ui().lstCorset;
        p.ui().opttext->click(); // whatever the target, all six colours come
        p.swatch(0);
        if (how.at(0).isLetter()) {
            list->setFocus(Qt::TabFocusReason);
            QCOMPARE(list->selectedItems().size(), 0); // the focus alone chooses nothing
        }
        for (const QChar c : how) {
            const int key = QString("HDUE").indexOf(c);
            if (key < 0)
                p.clickItem(c.digitValue());
            else
                QTest::keyClick(
                    list, std::array{Qt::Key_Home, Qt::Key_Down, Qt::Key_Up, Qt::Key_End}[key]);
        }
        QCOMPARE(list->currentRow(), row);
        QCOMPARE(p.scheme(), page);
        QCOMPARE(p.ui().cmdDelItem->isEnabled(), row > 0);
        QCOMPARE(p.usable(), "Clean");              // no swatch stays chosen
        QCOMPARE(p.ui().txtrgb->text(), "#80FFCC"); // the current colour stays
        QVERIFY(p.ui().opttext->isChecked());
        // Leaving the list clears the choice, but keeps it for deleting.
        QTest::keyClick(list, Qt::Key_Tab);
        QVERIFY(!list->hasFocus() && list->selectedItems().isEmpty() && list->currentRow() == -1);
        QVERIFY(!p.ui().cmdDelItem->isEnabled());
        QCOMPARE(p.w().selectedSetIndex(), row);
    }

    void editSets_data()
    {
        // "save", or for deleting "mouse", "tab" (the focus by keyboard) or "space"; the answers
        // to the name prompt ("<cancel>", or "<prompt>": what the real prompt offers), or to the
        // question after each press on "Delete this item"; the sets listed after.
        QTest::addColumn<QString>("press");
        QTest::addColumn<int>("row"); // the set chosen first
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<bool>("readOnly"); // the folder
        QTest::addColumn<QStringList>("names");

        const auto row = [](const char* name, const char* press, int row,
                            const QStringList& answers, const QStringList& names,
                            bool readOnly = false) {
            QTest::newRow(name) << press << row << answers << readOnly << names;
        };
        const QString accents = QString::fromUtf8("\"Caf\xc3\xa9\"");
        const QStringList ok{"OK"}, cancel{"Cancel"};
        const auto with = [](const QStringList& added) { return kNames + added; };
        const auto without = [](int row) { return kNames.mid(0, row) + kNames.mid(row + 1); };
        row("save: Cancel", "save", 2, {"<cancel>"}, kNames);
        row("save: three blanks: no name", "save", 2, {"   "}, with({"no name"}));
        row("save: the offered name twice", "save", 2, {"<prompt>", "<prompt>"},
            with({"scheme1", "scheme1"}));
        row("save: quotes and accents", "save", 2, {accents}, with({accents}));
        row("save: read-only folder", "save", 2, {"Dusk"}, kNames, true);
        row("OK deletes exactly one: the second", "mouse", 1, ok, without(1));
        row("Cancel deletes nothing", "mouse", 2, cancel, kNames);
        row("the focus arriving by Tab asks once", "tab", 2, ok, without(2));
        row("Space after a cancelled Tab asks once more", "space", 2, cancel + ok, without(2));
        row("delete: read-only folder", "mouse", 2, ok, kNames, true);
    }
    // One press, one question: a second one would show for real, and be caught.
    void editSets()
    {
        QFETCH(QString, press);
        QFETCH(int, row);
        QFETCH(QStringList, answers);
        QFETCH(bool, readOnly);
        QFETCH(QStringList, names);
        if (readOnly && TestFiles::ignoresPermissions())
            QSKIP("permissions do not bind this user; the unprivileged run covers this");
        Sets p;
        p.clickItem(row);
        if (press == "save") { // a new background
            p.ui().optbg->click();
            p.swatch(0);
        }
        const QByteArray scheme = p.scheme();
        TestFiles::setReadOnly(".", readOnly);
        const DialogCatcher warnings;
        QPushButton* del = p.ui().cmdDelItem;
        QStringList prompt, asked;
        for (int i = 0; i < answers.size(); ++i) {
            const QString& a = answers.at(i);
            if (press == "save" && a == "<prompt>") {
                QTimer::singleShot(0, this, [&prompt] {
                    auto* box = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
                    const bool onTop = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
                    prompt = {box->windowTitle(), box->labelText(), box->textValue(),
                              onTop ? "on top" : ""};
                    box->accept();
                });
            } else if (press == "save") {
                MessageBoxes::setNextInput(a == "<cancel>" ? std::nullopt : std::optional(a));
                asked << "Please input a name:";
            } else if (row > 0) {
                MessageBoxes::setNextAnswer(a == "OK" ? QMessageBox::Ok : QMessageBox::Cancel);
                asked << "Do you really want to delete \"" + kNames.at(row) + "\"?";
            }
            if (press == "save")
                p.click(p.ui().cmdSave);
            else if (press == "tab" || (press == "space" && i == 0))
                del->setFocus(Qt::TabFocusReason);
            else if (press == "space")
                QTest::keyClick(del, Qt::Key_Space);
            else
                p.click(del);
            QTRY_COMPARE(MessageBoxes::shownTexts().size(), asked.size());
            QCoreApplication::processEvents(); // anything still queued would ask again
        }
        QCOMPARE(MessageBoxes::shownTexts(), asked);
        if (answers.contains("<prompt>"))
            QCOMPARE(prompt,
                     (QStringList{"Input name", "Please input a name:", "scheme1", "on top"}));
        QList<QByteArray> records;
        for (const QString& name : names)
            records << (kNames.contains(name) ? kRecords.at(kNames.indexOf(name)) : scheme);
        p.check(names, records, warnings.texts, readOnly);
        if (press != "save") {
            QCOMPARE(del->isEnabled(), row > 0 && names == kNames);
            QCOMPARE(p.scheme(), scheme);
        } else if (names.size() > kNames.size()) { // the new entry gives its colours back
            p.clickItem(0);
            p.clickItem(names.size() - 1);
            QCOMPARE(p.scheme(), scheme);
            QCOMPARE(p.ui().lbldisplay->backColor(), QColor("#80FFCC"));
        }
    }

    // The code of the page shown, in three read-only boxes whose texts copy
    // whole; opened again after a change, the page of that moment.
    void codeView()
    {
        Sets p;
        p.clickItem(1); // the page shows "Ocean"
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
        p.ui().optbg->click();
        p.swatch(0);
        p.ui().opthl->click();
        p.swatch(1);
        texts.clear();
        copied.clear();
        p.withDialog(p.ui().cmdcss, read);
        for (QString& text : expected)
            text.replace("#003366", "#80FFCC").replace("#FF9933", "#123456");
        QCOMPARE(texts, expected);
        QCOMPARE(copied, expected);
    }
};

QTEST_MAIN(TestColourSetWidgets)
#include "tst_colourset_widgets.moc"
