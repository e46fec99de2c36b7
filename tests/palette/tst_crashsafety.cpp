// Every change of the user's files runs in a child that dies before each of its file-changing
// calls in turn, and again with that call failing. The folder must then read as before or after
// (a reported failure: as before, and never before again once after), and the next change must
// work over what was left.

#include "ColorSetStore.h"
#include "SetNameFile.h"

#include "ScopedCurrentDir.h"
#include "TestFiles.h"

#include <QProcess>

#include <QTest>
#include <cerrno>
#include <cstring>

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

Folder folder()
{
    Folder files;
    for (const QString& name : QDir().entryList(QDir::Files))
        files[name] = TestFiles::read(name);
    return files;
}

// The child's exit code (77: stopped) and what it printed.
std::pair<int, QString> child(const QString& how, const QString& operation)
{
    QProcess process;
    process.start(CRASH_CHILD, (how + ' ' + operation).split(' '));
    process.waitForFinished(60000);
    const QByteArray out = process.readAllStandardOutput() + process.readAllStandardError();
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, out.trimmed()};
}

} // namespace

class TestCrashSafety : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyCall_data()
    {
        QTest::addColumn<QString>("operation"); // the child's
        QTest::addColumn<Folder>("files");
        QTest::addColumn<View>("after");
        using TestFiles::records;
        const auto colours = [](const char* row, const char* operation, const QByteArray& content,
                                const QByteArray& expected) {
            QTest::newRow(row) << operation << Folder{{"mycolor.rgb", content}} << split(expected);
        };
        colours("delete the only colour", "delete-colour 1", "FF8000", "");
        colours("delete across chunks of the rewrite", "delete-colour 65537", records(200000),
                records(65536) + records(134463, 65537));
        colours("clean duplicates, letter case counts", "clean-colours",
                "FF000000FF00FF00000000FF00FF00ff0000", "FF000000FF000000FFff0000");

        const QString save9 = "save-set s9 " + records(6, 9 * 16);
        const QList<int> five{1, 2, 3, 4, 5};
        Folder stoppedBefore = setFiles(five); // a deletion of s2, stopped before its commit
        stoppedBefore["set.tmp"] = setFiles({1, 3, 4, 5})["set.dat"];
        stoppedBefore["colorset.tmp"] = setFiles({1, 3, 4, 5})["colorset.dat"].left(50);
        Folder stoppedAfter = setFiles({1, 3, 4, 5}); // and one stopped after it
        stoppedAfter["colorset.tmp"] = stoppedAfter["colorset.dat"];
        stoppedAfter["colorset.dat"] = setFiles(five)["colorset.dat"];
        QTest::newRow("delete the middle of five")
            << "delete-set 2" << setFiles(five) << sets({1, 2, 4, 5});
        QTest::newRow("delete after a deletion stopped before its commit")
            << "delete-set 3" << stoppedBefore << sets({1, 2, 3, 5});
        QTest::newRow("delete after a deletion stopped after its commit")
            << "delete-set 1" << stoppedAfter << sets({1, 4, 5});
        QTest::newRow("save a fourth set") << save9 << setFiles({1, 2, 3}) << sets({1, 2, 3, 9});
        QTest::newRow("save after a deletion stopped before its commit")
            << save9 << stoppedBefore << sets({1, 2, 3, 4, 5, 9});
    }

    void everyCall()
    {
        QFETCH(QString, operation);
        QFETCH(Folder, files);
        QFETCH(View, after);
        const bool colourSets = operation.contains("-set");
        // After a crash: a save, or deleting the second colour or set.
        const QString next = operation.startsWith("save")
                                 ? "save-set s99 " + TestFiles::records(6, 99 * 16)
                             : colourSets ? QByteArray("delete-set 1")
                                          : QByteArray("delete-colour 2");
        const ScopedCurrentDir dir;
        const auto restore = [&files] {
            for (const QString& name : folder().keys())
                QFile::remove(name);
            for (auto it = files.cbegin(); it != files.cend(); ++it)
                TestFiles::write(it.key(), it.value());
        };
        restore();
        const View before = seen(colourSets);
        const bool leftovers = !QDir().entryList({"*.tmp"}).isEmpty();
        restore();
        const auto [code, done] = child("stop 0", operation);
        QVERIFY2(code == 0, qPrintable(done));
        QCOMPARE(seen(colourSets), after);
        const int calls = done.section(' ', 1).toInt();
        QVERIFY(calls > 2);
        for (const QString how : {"stop", "fail"}) {
            bool changed = false;
            for (int n = 1; n <= calls; ++n) {
                restore();
                const auto [code, output] = child(how + ' ' + QString::number(n), operation);
                const QByteArray where = (how + QString(" at call %1: ").arg(n)).toUtf8();
                const View view = seen(colourSets);
                QVERIFY2(code == (how == "stop" ? 77 : code ? 1 : 0), where + output.toUtf8());
                // A failure tells the user the reason the system gave.
                QVERIFY2(code != 1 || output.contains(std::strerror(ENOSPC)),
                         where + output.toUtf8());
                QVERIFY2(view == (code == 1 ? before
                                  : code    ? view
                                            : after),
                         where + "the change " + (code ? "failed" : "finished") + " but reads " +
                             view.join(' ').left(80));
                QVERIFY2(view == before || view == after, where + "neither before nor after");
                // Without leftovers to recover, a failure leaves the folder as it was,
                // unless removing its own temporary was the call that failed.
                if (code == 1 && !leftovers &&
                    !output.contains(QRegularExpression("failing (unlink|remove)")))
                    QVERIFY2(folder() == files, where + "the folder changed");
                changed = view == after;
                // The next change, over what was left.
                const auto [nextCode, nextOutput] = child("stop 0", next);
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
            QVERIFY2(how == "fail" || changed, "the last call committed nothing");
        }
    }
};

QTEST_GUILESS_MAIN(TestCrashSafety)
#include "tst_crashsafety.moc"
