// Deleting a colour set rewrites "set.dat" and "colorset.dat"; saving one
// writes a record and appends a name. Here a child process runs each of
// them and dies at every one of their steps in turn; after each death the
// folder is looked at as the next start of the program sees it (leftovers
// recovered, then the names loaded and every set's colours read), and the
// next operation is run on what was left.

#include "ColorSetStore.h"
#include "SetNameFile.h"

#include "CrashChild.h"
#include "ScopedCurrentDir.h"
#include "TestFiles.h"

#include <QDir>
#include <QMap>
#include <QTest>

using namespace tintaro;

namespace {

const QString kNames = QString::fromLatin1(ColorSetStore::kNamesFile);
const QString kColours = QString::fromLatin1(ColorSetStore::kColoursFile);
const QString kNamesTemp = QString::fromLatin1(ColorSetStore::kNamesTemp);
const QString kColoursTemp = QString::fromLatin1(ColorSetStore::kColoursTemp);

const QStringList kRemoveSteps{
    QStringLiteral("RemoveStarted"),           QStringLiteral("NamesTempPartlyWritten"),
    QStringLiteral("NamesTempWritten"),        QStringLiteral("ColoursTempPartlyWritten"),
    QStringLiteral("ColoursTempWritten"),      QStringLiteral("NamesReplaced"),
    QStringLiteral("ColoursReplaced")};
const QString kUndoStep = QStringLiteral("LeftoverColoursRemoved");
const QStringList kSaveSteps{QStringLiteral("RecordPartlyWritten"),
                             QStringLiteral("RecordWritten")};

// Set i is named s<i>; its six colours are i * 16 + f, f = 0..5.
QString nameOf(int id)
{
    return QStringLiteral("s%1").arg(id);
}

QByteArray recordFor(int id)
{
    QByteArray record;
    for (int f = 0; f < 6; ++f)
        record += QByteArray::number(id * 16 + f, 16).toUpper().rightJustified(6, '0');
    return record;
}

QByteArray nameLines(const QList<int>& ids)
{
    QByteArray out;
    for (int id : ids)
        out += '"' + nameOf(id).toLatin1() + "\"\r\n";
    return out;
}

QByteArray records(const QList<int>& ids)
{
    QByteArray out;
    for (int id : ids)
        out += recordFor(id);
    return out;
}

// The sets as a list shows them: each name with the record its position reads.
struct Sets
{
    QStringList names;
    QList<QByteArray> records;
    bool operator==(const Sets& o) const { return names == o.names && records == o.records; }
    bool operator!=(const Sets& o) const { return !(*this == o); }
};

char* toString(const Sets& sets)
{
    QByteArray text;
    for (int i = 0; i < sets.names.size(); ++i)
        text += sets.names.at(i).toUtf8() + '=' + sets.records.value(i) + ' ';
    return qstrdup(text.constData());
}

Sets setsOf(const QList<int>& ids)
{
    Sets sets;
    for (int id : ids) {
        sets.names << nameOf(id);
        sets.records << recordFor(id);
    }
    return sets;
}

// What the current folder shows: names from "set.dat", colours by position.
Sets shown()
{
    Sets sets{SetNameFile::load(kNames).names, {}};
    for (int p = 0; p < sets.names.size(); ++p)
        sets.records << ColorSetStore().read(p).bytes();
    return sets;
}

using Folder = QMap<QString, QByteArray>;

Folder snapshot()
{
    Folder files;
    for (const QString& name : QDir().entryList(QDir::Files | QDir::Hidden))
        files.insert(name, TestFiles::read(name));
    return files;
}

bool restore(const Folder& files)
{
    QDir dir;
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden))
        if (!dir.remove(name))
            return false;
    for (auto it = files.cbegin(); it != files.cend(); ++it)
        if (!TestFiles::write(it.key(), it.value()))
            return false;
    return true;
}

bool noTemporaries()
{
    return !QFile::exists(kNamesTemp) && !QFile::exists(kColoursTemp);
}

} // namespace

class TestColorSetCrash : public QObject
{
    Q_OBJECT

public:
    enum Operation
    {
        DeleteSet,
        SaveSet,
        RecoverSets
    };
    Q_ENUM(Operation)

private Q_SLOTS:
    void everyStep_data();
    void everyStep();
};

void TestColorSetCrash::everyStep_data()
{
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<int>("argument"); // DeleteSet: the position; SaveSet: the set saved
    QTest::addColumn<Folder>("files"); // the folder before
    QTest::addColumn<QList<int>>("before");
    QTest::addColumn<QList<int>>("after");
    QTest::addColumn<QString>("commitStep");  // where "after" shows first; empty: at the end
    QTest::addColumn<QStringList>("mustStop"); // steps each stopped at once

    const QList<int> five{1, 2, 3, 4, 5};
    const Folder plainFive{{kNames, nameLines(five)}, {kColours, records(five)}};
    const QString replaced = QStringLiteral("NamesReplaced");

    QTest::newRow("delete the middle of five")
        << DeleteSet << 2 << plainFive << five << QList<int>{1, 2, 4, 5} << replaced
        << kRemoveSteps;
    QTest::newRow("delete the last of five")
        << DeleteSet << 4 << plainFive << five << QList<int>{1, 2, 3, 4} << replaced
        << kRemoveSteps;
    QTest::newRow("delete the first that may go")
        << DeleteSet << 1
        << Folder{{kNames, nameLines({1, 2, 3})}, {kColours, records({1, 2, 3})}}
        << QList<int>{1, 2, 3} << QList<int>{1, 3} << replaced << kRemoveSteps;
    QTest::newRow("delete, records past the names")
        << DeleteSet << 1
        << Folder{{kNames, nameLines({1, 2, 3})}, {kColours, records({1, 2, 3, 7, 8})}}
        << QList<int>{1, 2, 3} << QList<int>{1, 3} << replaced << kRemoveSteps;
    QTest::newRow("delete, names with quotes, spaces and a last line without its end")
        << DeleteSet << 1
        << Folder{{kNames, QByteArray("\"s1\"\r\n\" s2 \"\"\r\n\"s3\"")},
                  {kColours, records({1, 2, 3})}}
        << QList<int>() << QList<int>() << replaced << kRemoveSteps;

    Folder halfDone = plainFive; // a deletion of s2 stopped before it committed
    halfDone.insert(kNamesTemp, nameLines({1, 3, 4, 5}));
    halfDone.insert(kColoursTemp, records({1, 3, 4, 5}).left(50));
    QTest::newRow("delete after a deletion stopped before it committed")
        << DeleteSet << 3 << halfDone << five << QList<int>{1, 2, 3, 5} << replaced
        << QStringList{kUndoStep} + kRemoveSteps;

    const Folder committed{{kNames, nameLines({1, 3, 4, 5})},
                           {kColours, records(five)},
                           {kColoursTemp, records({1, 3, 4, 5})}};
    QTest::newRow("delete after a deletion stopped once committed")
        << DeleteSet << 1 << committed << QList<int>{1, 3, 4, 5} << QList<int>{1, 4, 5}
        << replaced << kRemoveSteps;

    Folder uncommitted = plainFive;
    uncommitted.insert(kNamesTemp, nameLines({1, 3, 4, 5}));
    uncommitted.insert(kColoursTemp, records({1, 3, 4, 5}));
    QTest::newRow("start-up undoing a deletion that did not commit")
        << RecoverSets << 0 << uncommitted << five << five << QString()
        << QStringList{kUndoStep};

    const Folder three{{kNames, nameLines({1, 2, 3})}, {kColours, records({1, 2, 3})}};
    QTest::newRow("save a fourth set")
        << SaveSet << 9 << three << QList<int>{1, 2, 3} << QList<int>{1, 2, 3, 9} << QString()
        << kSaveSteps;
    QTest::newRow("save over a record left past the names")
        << SaveSet << 9
        << Folder{{kNames, nameLines({1, 2, 3})}, {kColours, records({1, 2, 3, 7})}}
        << QList<int>{1, 2, 3} << QList<int>{1, 2, 3, 9} << QString() << kSaveSteps;
    QTest::newRow("save after a deletion stopped before it committed")
        << SaveSet << 9 << halfDone << five << QList<int>{1, 2, 3, 4, 5, 9} << QString()
        << QStringList{kUndoStep} + kSaveSteps;
}

// The operation is run again and again, stopped one step later each time,
// until it finishes. After every stop the next start must show exactly the
// sets from before or from after, every name with its own six colours, the
// same before and after the leftovers are recovered, and never the old sets
// again once the new ones showed. The next operation must then work on
// whatever was left, leftovers included, and leave no temporary behind.
void TestColorSetCrash::everyStep()
{
    QFETCH(Operation, operation);
    QFETCH(int, argument);
    QFETCH(Folder, files);
    QFETCH(QList<int>, before);
    QFETCH(QList<int>, after);
    QFETCH(QString, commitStep);
    QFETCH(QStringList, mustStop);

    const ScopedCurrentDir dir;
    QVERIFY(dir.isValid());
    const QString saved = nameOf(argument);
    const QStringList run = operation == DeleteSet ? QStringList{QStringLiteral("delete-set"),
                                                                 QString::number(argument)}
                            : operation == SaveSet
                                ? QStringList{QStringLiteral("save-set"), saved,
                                              QString::fromLatin1(recordFor(argument))}
                                : QStringList{QStringLiteral("recover-sets")};

    // Rows given by ids only: the sets as the untouched folder shows them.
    QVERIFY(restore(files));
    const Sets old = before.isEmpty() ? shown() : setsOf(before);
    Sets fresh = setsOf(after);
    if (after.isEmpty() && operation == DeleteSet) {
        fresh = old;
        fresh.names.removeAt(argument);
        fresh.records.removeAt(argument);
    }
    QCOMPARE(shown(), old);

    QStringList stoppedAt;
    QString firstNew;
    CrashChild::Run last;
    for (int n = 1;; ++n) {
        QVERIFY2(n <= 1000, "the operation never finished");
        QVERIFY(restore(files));
        last = CrashChild::run(dir.path(), n, run);
        if (last.finished())
            break;
        QVERIFY2(last.stopped() && !last.stoppedAt.isEmpty(), qPrintable(last.output));
        const QString step = last.stoppedAt;
        stoppedAt << step;
        const QByteArray where = QStringLiteral("step %1 (%2)").arg(n).arg(step).toUtf8();
        const Folder left = snapshot();

        // The next start: leftovers recovered, then the list loaded and read.
        const Sets asLeft = shown();
        const ColorSetStore::Result recovered = ColorSetStore::recover();
        QVERIFY2(recovered.ok, where + ": " + recovered.error.toUtf8());
        QVERIFY2(noTemporaries(), where + ": recovery left a temporary");
        const SetNameFile::LoadResult loaded = SetNameFile::load(kNames);
        QVERIFY2(loaded.ok, where + ": " + loaded.error.toUtf8());
        const Sets seen = shown();
        const bool isNew = seen == fresh;
        QVERIFY2(isNew || seen == old,
                 where + ": neither the sets from before nor those from after: " +
                     QByteArray(QScopedArrayPointer<char>(toString(seen)).data()));
        if (isNew && firstNew.isEmpty())
            firstNew = step;
        QVERIFY2(isNew || firstNew.isEmpty(), where + ": the old sets are back");
        QVERIFY2(asLeft == seen, where + ": recovery changed what the sets read as");

        // The next operation, on the folder as the crash left it.
        QVERIFY(restore(left));
        Sets next = seen;
        CrashChild::Run again;
        if (operation == SaveSet) {
            again = CrashChild::run(dir.path(), 0,
                                    {QStringLiteral("save-set"), nameOf(99),
                                     QString::fromLatin1(recordFor(99))});
            next.names << nameOf(99);
            next.records << recordFor(99);
        } else {
            QVERIFY2(next.names.size() >= 2, where + ": too few sets left to delete one more");
            again = CrashChild::run(dir.path(), 0, {QStringLiteral("delete-set"), "1"});
            next.names.removeAt(1);
            next.records.removeAt(1);
        }
        QVERIFY2(again.finished(), where + ": " + again.output.toUtf8());
        QVERIFY2(noTemporaries(), where + ": the next operation left a temporary");
        QCOMPARE(shown(), next);
        QCOMPARE(TestFiles::read(kColours), next.records.join());
    }

    // Run to the end: the sets from after, no temporaries.
    QCOMPARE(shown(), fresh);
    QVERIFY(noTemporaries());
    qInfo("%lld stopping points: %s", qlonglong(stoppedAt.size()),
          qPrintable(stoppedAt.join(QLatin1Char(' '))));

    // Every step was a stopping point once, in the order the operation passes them.
    QCOMPARE(stoppedAt, last.passed);
    for (const QString& step : mustStop)
        QVERIFY2(stoppedAt.count(step) == 1, qPrintable(step + QLatin1String(": ") +
                                                        stoppedAt.join(QLatin1Char(' '))));
    // The sets change at the commit, not before.
    if (fresh != old)
        QCOMPARE(firstNew, commitStep);
}

QTEST_GUILESS_MAIN(TestColorSetCrash)
#include "tst_colorsetcrash.moc"
