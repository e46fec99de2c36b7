#include "AppFixture.h"

#include "Twips.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QStyle>

namespace {
template <typename T> bool is(const QObject* o)
{
    return qobject_cast<const T*>(o);
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
        QTest::addColumn<QString>("readOnly"); // the user's file, or the folder
        QTest::addColumn<QByteArray>("setDat");
        QTest::addColumn<QStringList>("names");

        const QByteArray none;
        const auto row = [](const char* name, const QByteArray& userFile, int count, QColor newest,
                            const char* usable, const char* readOnly = "",
                            const QByteArray& setDat = "\"Default\"\r\n",
                            const QStringList& names = {"Default"}) {
            QTest::newRow(name) << userFile << count << newest << usable << readOnly << setDat
                                << names;
        };
        using TestFiles::records;
        const QColor white(Qt::white);
        row("user file missing", none, 0, white, "");
        row("user file empty", "", 0, white, "");
        row("one colour", records(1), 1, QColor(0, 0, 0), "");
        row("two colours", records(2), 2, QColor(0, 0, 1), "Clean");
        row("a page", records(144), 144, QColor(0, 0, 143), "Clean");
        row("a page and one", records(145), 145, QColor(0, 0, 144), "> Clean");
        row("6N + 3 bytes", records(2) + "FFF", 2, QColor(0, 0, 1), "Clean");
        row("non-hexadecimal", "zzzzzz\x01\x02\x03\x04\x05\x06", 2, white, "Clean");
        row("60 MB", QByteArray(6 * 9'999'998, '0') + "123456ABCDEF", 10'000'000,
            QColor(0xAB, 0xCD, 0xEF), "> Clean");
        row("read-only user file", "00FF00FF0000", 2, Qt::red, "Clean", "mycolor.rgb");
        row("read-only folder, no user file", none, 0, white, "", ".");
        row("set names in file order", none, 0, white, "", "",
            "\"Default\"\r\n\"Zebra\"\r\n\"Apple\"\r\n", {"Default", "Zebra", "Apple"});
        row("set.dat empty", none, 0, white, "", "", "", {});
        row("short lines, empty name, inner quotes and blanks", none, 0, white, "", "",
            "\"a\"\r\nx\r\n\r\n\"\"\r\n\" say \"hi\" \"\r\n", {"a", "", "", "", " say \"hi\" "});
        QByteArray many;
        QStringList manyNames;
        for (int i = 0; i < 10000; ++i) {
            manyNames << QStringLiteral("scheme %1").arg(i);
            many += "\"scheme " + QByteArray::number(i) + "\"\r\n";
        }
        row("ten thousand names", none, 0, white, "", "", many, manyNames);
        row("set.dat missing", none, -1, white, "", "", none, {});
        row("set.dat unreadable (a folder)", none, -1, white, "", "", "/", {});
    }
    void startUp()
    {
        QFETCH(QByteArray, userFile);
        QFETCH(int, count);
        QFETCH(QColor, newest);
        QFETCH(QString, usable);
        QFETCH(QString, readOnly);
        QFETCH(QByteArray, setDat);
        QFETCH(QStringList, names);
        if (!readOnly.isEmpty() && TestFiles::ignoresPermissions())
            QSKIP("permissions do not bind this user; the unprivileged run covers this");
        ScopedCurrentDir dir;
        if (setDat == "/")
            QDir().mkdir("set.dat");
        else if (!setDat.isNull())
            TestFiles::write("set.dat", setDat);
        if (!userFile.isNull())
            TestFiles::write("mycolor.rgb", userFile);
        if (!readOnly.isEmpty())
            TestFiles::setReadOnly(readOnly, true);
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
        // The user's file is made when missing, and else left alone.
        QCOMPARE(TestFiles::read("mycolor.rgb"),
                 userFile.isNull() && readOnly != "." ? "" : userFile);
        QStringList shown;
        for (int i = 0; i < ui.lstCorset->count(); ++i)
            shown << ui.lstCorset->item(i)->text();
        QCOMPARE(shown, names);
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

    // A misplaced cell, a caption cut off by its control, or a label over a
    // control that takes input: faults the eye catches that a test of each
    // control alone never sees.
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
        const QObjectList& children = p.w().children(); // later ones stand higher
        for (int i = 0; i < children.size(); ++i) {
            const auto* low = qobject_cast<const QWidget*>(children[i]);
            for (int j = i + 1; low && j < children.size(); ++j) {
                const auto* high = qobject_cast<const QWidget*>(children[j]);
                if (!high || !low->geometry().intersects(high->geometry()))
                    continue;
                const bool input =
                    is<QAbstractButton>(low) || is<QLineEdit>(low) || is<QListWidget>(low);
                if ((input && (is<QLabel>(high) || is<ShapeWidget>(high))) ||
                    (low == p.ui().shp1 && is<QLabel>(high)) ||
                    (is<QRadioButton>(low) && is<QGroupBox>(high)))
                    wrong << high->objectName() + " over " + low->objectName();
            }
        }
        for (const QWidget* line :
             {p.ui().lbltext, p.ui().lblnl, p.ui().lblvl, p.ui().lblal, p.ui().lblhl})
            if (children.indexOf(line) < children.indexOf(p.ui().lbldisplay))
                wrong << line->objectName() + " under the page";
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
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
