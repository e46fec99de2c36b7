// Every rewrite of the user's files runs in a child process that dies at each
// of its steps in turn. After each death the folder must read, as the next
// start sees it, exactly as before or as after the change (and never as before
// once it read as after), and the next operation must work over what was left.

#include "ColorSetStore.h"
#include "SetNameFile.h"

#include "ScopedCurrentDir.h"
#include "TestFiles.h"

#include <QProcess>
#include <QTest>

using namespace tintaro;

namespace {

using Folder = QMap<QString, QByteArray>;
using View = QByteArrayList;

// Set <id> is named s<id>; its colours are id * 16 + 0..5.
Folder setFiles(const QList<int>& ids)
{
    Folder files{{"set.dat", ""}, {"colorset.dat", ""}};
    for (int id : ids) {
        files["set.dat"] += "\"s" + QByteArray::number(id) + "\"\r\n";
        files["colorset.dat"] += TestFiles::records(6, id * 16);
    }
    return files;
}

View sets(const QList<int>& ids)
{
    View view;
    for (int id : ids)
        view << 's' + QByteArray::number(id) + '=' + TestFiles::records(6, id * 16);
    return view;
}

View split(const QByteArray& bytes)
{
    View view;
    for (qsizetype i = 0; i < bytes.size(); i += 6)
        view << bytes.mid(i, 6);
    return view;
}

// What the next start shows: the user's colours, or each set as name=colours.
View seen(bool colourSets)
{
    if (!colourSets)
        return QFile::exists("mycolor.rgb") ? split(TestFiles::read("mycolor.rgb")) : View{"none"};
    View view;
    const QStringList names = SetNameFile::load("set.dat").names;
    for (int p = 0; p < names.size(); ++p)
        view << names[p].toLatin1() + '=' + ColorSetStore().read(p).bytes();
    return view;
}

// Runs the child here, stopped at its step `stopAt` (0: never); the exit code
// (77: stopped) and what it printed.
std::pair<int, QString> child(const QString& operation, int stopAt)
{
    QProcess process;
    process.start(CRASH_CHILD, (QString::number(stopAt) + ' ' + operation).split(' '));
    process.waitForFinished(60000);
    const QByteArray out = process.readAllStandardOutput() + process.readAllStandardError();
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, out.trimmed()};
}

} // namespace

class TestCrashSafety : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyStep_data()
    {
        QTest::addColumn<QString>("operation"); // the child's
        QTest::addColumn<Folder>("files");
        QTest::addColumn<View>("after");
        QTest::addColumn<QString>("commit"); // the first step that shows "after"; empty: none
        QTest::addColumn<QString>("steps");  // steps stopped at exactly once

        const auto colours = [](const char* row, const char* operation, const QByteArray& content,
                                const QByteArray& expected) {
            QTest::newRow(row) << operation << Folder{{"mycolor.rgb", content}} << split(expected)
                               << "Renamed"
                               << "TemporaryOpened Synced Closed Renaming Renamed";
        };
        using TestFiles::records;
        colours("delete the middle of ten, cut inside records", "delete-colour 5 4", records(10),
                records(4) + records(5, 5));
        colours("delete the only colour", "delete-colour 1 1", "FF8000", "");
        colours("delete across chunks of the rewrite", "delete-colour 65537 150000",
                records(200000), records(65536) + records(134463, 65537));
        colours("clean duplicates, letter case counts", "clean-colours 5",
                "FF000000FF00FF00000000FF00FF00ff0000", "FF000000FF000000FFff0000");

        const QString remove =
            "RemoveStarted NamesTempPartlyWritten NamesTempWritten "
            "ColoursTempPartlyWritten ColoursTempWritten NamesReplaced ColoursReplaced";
        const QString save9 = "save-set s9 " + records(6, 9 * 16);
        const QList<int> five{1, 2, 3, 4, 5};
        Folder stoppedBefore = setFiles(five); // a deletion of s2, stopped before its commit
        stoppedBefore["set.tmp"] = setFiles({1, 3, 4, 5})["set.dat"];
        stoppedBefore["colorset.tmp"] = setFiles({1, 3, 4, 5})["colorset.dat"].left(50);
        Folder stoppedAfter = setFiles({1, 3, 4, 5}); // and one stopped after it
        stoppedAfter["colorset.tmp"] = stoppedAfter["colorset.dat"];
        stoppedAfter["colorset.dat"] = setFiles(five)["colorset.dat"];
        QTest::newRow("delete the middle of five")
            << "delete-set 2" << setFiles(five) << sets({1, 2, 4, 5}) << "NamesReplaced" << remove;
        QTest::newRow("delete after a deletion stopped before its commit")
            << "delete-set 3" << stoppedBefore << sets({1, 2, 3, 5}) << "NamesReplaced"
            << "LeftoverColoursRemoved " + remove;
        QTest::newRow("delete after a deletion stopped after its commit")
            << "delete-set 1" << stoppedAfter << sets({1, 4, 5}) << "NamesReplaced" << remove;
        QTest::newRow("save a fourth set")
            << save9 << setFiles({1, 2, 3}) << sets({1, 2, 3, 9}) << ""
            << "RecordPartlyWritten RecordWritten";
        QTest::newRow("save after a deletion stopped before its commit")
            << save9 << stoppedBefore << sets({1, 2, 3, 4, 5, 9}) << ""
            << "LeftoverColoursRemoved RecordPartlyWritten RecordWritten";
    }

    void everyStep()
    {
        QFETCH(QString, operation);
        QFETCH(Folder, files);
        QFETCH(View, after);
        QFETCH(QString, commit);
        QFETCH(QString, steps);
        const bool colourSets = operation.contains("-set");
        // After a crash: a save, or deleting the second colour or set.
        const QString next = operation.startsWith("save")
                                 ? "save-set s99 " + TestFiles::records(6, 99 * 16)
                             : colourSets ? QByteArray("delete-set 1")
                                          : QByteArray("delete-colour 2 0");
        const ScopedCurrentDir dir;
        const auto restore = [&files] {
            for (const QString& name : QDir().entryList(QDir::Files))
                QFile::remove(name);
            for (auto it = files.cbegin(); it != files.cend(); ++it)
                TestFiles::write(it.key(), it.value());
        };
        restore();
        const View before = seen(colourSets);
        QStringList stops;
        QString firstNew;
        qsizetype grown = 0; // the temporary's length at the last PartWritten
        for (int n = 1;; ++n) {
            restore();
            const auto [code, output] = child(operation, n);
            if (code == 0) { // finished: every step was a stop once, in the order passed
                QCOMPARE(stops, output.split(' ').mid(1));
                break;
            }
            QVERIFY2(code == 77 && n < 1000, qPrintable(output));
            const QString step = output.section(' ', 1);
            stops << step;
            const QByteArray where = QStringLiteral("step %1 (%2): ").arg(n).arg(step).toUtf8();
            const View view = seen(colourSets);
            QVERIFY2(view == before || view == after, where + "neither before nor after");
            if (view == after && firstNew.isEmpty())
                firstNew = step;
            QVERIFY2(view == after || firstNew.isEmpty(), where + "before again");
            if (step == "PartWritten") { // the temporary grows by a piece at most
                const QByteArray part = TestFiles::read("mycolor.tmp");
                QVERIFY2(after.join().startsWith(part) && part.size() > grown &&
                             part.size() <= grown + operation.section(' ', -1).toInt(),
                         where + "the temporary grew to " + part);
                grown = part.size();
            }
            // The next operation, over what the crash left.
            const auto [nextCode, nextOutput] = child(next, 0);
            QVERIFY2(nextCode == 0, where + nextOutput.toUtf8());
            View expected = view;
            if (next.startsWith("save"))
                expected << "s99=" + next.section(' ', 2).toLatin1();
            else if (expected.size() > 1)
                expected.removeAt(1);
            QCOMPARE(seen(colourSets), expected);
            QVERIFY2(QDir().entryList({"*.tmp"}, QDir::AllEntries).isEmpty(),
                     where + "a temporary left");
        }
        QCOMPARE(seen(colourSets), after);
        QVERIFY(QDir().entryList({"*.tmp"}, QDir::AllEntries).isEmpty());
        for (const QString& step : steps.split(' '))
            QVERIFY2(stops.count(step) == 1, qPrintable(step + ": " + stops.join(' ')));
        QCOMPARE(firstNew, commit);
        QCOMPARE(grown, colourSets ? 0 : after.join().size());
    }
};

QTEST_GUILESS_MAIN(TestCrashSafety)
#include "tst_crashsafety.moc"
