#include "ColorSetStore.h"
#include "SetNameFile.h"

#include "ScopedCurrentDir.h"
#include "TestFiles.h"

#include <QDir>
#include <QTest>

#include <stdexcept>

using namespace tintaro;

namespace {

using Step = ColorSetStore::Step;

const QString kNames = QString::fromLatin1(ColorSetStore::kNamesFile);
const QString kColours = QString::fromLatin1(ColorSetStore::kColoursFile);
const QString kNamesTemp = QString::fromLatin1(ColorSetStore::kNamesTemp);
const QString kColoursTemp = QString::fromLatin1(ColorSetStore::kColoursTemp);

const ColorSetRecord::Colors kSaved{makeColor(0x80, 0xFF, 0xCC), kWhite,
                                    makeColor(0xFF, 0, 0),       makeColor(0, 0xFF, 0),
                                    makeColor(0, 0, 0xFF),       0x123456};
const QByteArray kSavedBytes("CCFF80FFFFFF0000FF00FF00FF0000123456");

// A distinct, well-formed record for set i: its six fields are i * 16 + f.
QByteArray recordFor(int i)
{
    QByteArray record;
    for (int f = 0; f < 6; ++f)
        record += QByteArray::number(i * 16 + f, 16).toUpper().rightJustified(6, '0');
    return record;
}

QByteArray records(int first, int count)
{
    QByteArray out;
    for (int i = first; i < first + count; ++i)
        out += recordFor(i);
    return out;
}

QByteArray nameLine(const QString& name)
{
    return '"' + name.toLocal8Bit() + "\"\r\n";
}

// "set.dat" lines for sets named s<first> .. s<first + count - 1>.
QByteArray nameLines(int first, int count)
{
    QByteArray out;
    for (int i = first; i < first + count; ++i)
        out += nameLine(QStringLiteral("s%1").arg(i));
    return out;
}

// Writes a file, or removes it for a null content.
void put(const QString& name, const QByteArray& content)
{
    QFile::remove(name);
    if (!content.isNull())
        QVERIFY(TestFiles::write(name, content));
}

// What the next start shows: each name with the record its position reads.
struct Sets
{
    QStringList names;
    QList<QByteArray> records;
    bool operator==(const Sets& o) const { return names == o.names && records == o.records; }
};

char* toString(const Sets& sets)
{
    QByteArray text;
    for (int i = 0; i < sets.names.size(); ++i)
        text += sets.names.at(i).toUtf8() + '=' + sets.records.value(i) + ' ';
    return qstrdup(text.constData());
}

Sets seen()
{
    Sets sets{SetNameFile::load(kNames).names, {}};
    for (int p = 0; p < sets.names.size(); ++p)
        sets.records << ColorSetStore().read(p).bytes();
    return sets;
}

// Sets s1..s<count>, each with its own record, less the one at `without`.
Sets numbered(int count, int without = -1)
{
    Sets sets;
    for (int i = 1; i <= count; ++i) {
        if (i - 1 != without) {
            sets.names << QStringLiteral("s%1").arg(i);
            sets.records << recordFor(i);
        }
    }
    return sets;
}

bool noTemporaries()
{
    return !QFile::exists(kNamesTemp) && !QFile::exists(kColoursTemp);
}

} // namespace

class TestColorSetStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void save_data();
    void save();
    void read_data();
    void read();
    void remove_data();
    void remove();
    void interrupted_data();
    void interrupted();
    void refused_data();
    void refused();
    void tenThousandSets();
};

void TestColorSetStore::save_data()
{
    QTest::addColumn<QByteArray>("names"); // null: no file
    QTest::addColumn<QByteArray>("colours");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("namesAfter"); // null: refused, both files as they were
    QTest::addColumn<QByteArray>("coloursAfter");

    const QByteArray three = nameLines(1, 3);
    const QByteArray saved3 = records(1, 3) + kSavedBytes;
    const QString text300 = QStringLiteral("0123456789").repeated(30);
    const QString accents = QString::fromUtf8("Caf\xc3\xa9 cr\xc3\xa8me \xe8\x89\xb2");
    QTest::newRow("3 names: record 4 at byte 108")
        << three << records(1, 3) << "Ocean" << three + "\"Ocean\"\r\n"
        << saved3;
    QTest::newRow("a name already there: a second entry")
        << three << records(1, 3) << "s2" << three + "\"s2\"\r\n"
        << saved3;
    QTest::newRow("no files yet: both made") << QByteArray() << QByteArray() << "scheme1"
                                             << QByteArray("\"scheme1\"\r\n") << kSavedBytes;
    QTest::newRow("no colour file: earlier records blank")
        << nameLines(1, 2) << QByteArray() << "x" << nameLines(1, 2) + "\"x\"\r\n"
        << QByteArray(72, ' ') + kSavedBytes;
    QTest::newRow("a record past the names is overwritten")
        << nameLines(1, 2) << records(1, 3) << "x" << nameLines(1, 2) + "\"x\"\r\n"
        << records(1, 2) + kSavedBytes;
    QTest::newRow("last line without its end gets one")
        << QByteArray("\"a\"\r\n\"b\"") << records(1, 2) << "c"
        << QByteArray("\"a\"\r\n\"b\"\r\n\"c\"\r\n") << records(1, 2) + kSavedBytes;
    QTest::newRow("quotes inside, unescaped")
        << three << records(1, 3) << "say \"hi\"" << three + "\"say \"hi\"\"\r\n"
        << saved3;
    QTest::newRow("blanks before and after kept")
        << three << records(1, 3) << "  two words  " << three + "\"  two words  \"\r\n"
        << saved3;
    QTest::newRow("300 characters")
        << three << records(1, 3) << text300 << three + nameLine(text300) << saved3;
    QTest::newRow("non-ASCII in the locale's encoding")
        << three << records(1, 3) << accents << three + nameLine(accents) << saved3;
    QTest::newRow("line break in the name: refused")
        << three << records(1, 3) << "two\nlines" << QByteArray() << QByteArray();
}

void TestColorSetStore::save()
{
    QFETCH(QByteArray, names);
    QFETCH(QByteArray, colours);
    QFETCH(QString, name);
    QFETCH(QByteArray, namesAfter);
    QFETCH(QByteArray, coloursAfter);

    const ScopedCurrentDir dir;
    put(kNames, names);
    put(kColours, colours);
    const ColorSetStore::Result result =
        ColorSetStore().save(name, ColorSetRecord::fromColors(kSaved));
    const bool ok = !namesAfter.isNull();
    QCOMPARE(result.ok, ok);
    QCOMPARE(TestFiles::read(kNames), ok ? namesAfter : names);
    QCOMPARE(TestFiles::read(kColours), ok ? coloursAfter : colours);
    QVERIFY(noTemporaries());
    if (ok) { // the next start lists it last, with its own colours
        QCOMPARE(result.name, name);
        QCOMPARE(seen().names.constLast(), name);
        QCOMPARE(seen().records.constLast(), kSavedBytes);
    }
}

void TestColorSetStore::read_data()
{
    QTest::addColumn<QByteArray>("colours"); // "colorset.dat"
    QTest::addColumn<QString>("left");       // leftovers of a deletion
    QTest::addColumn<int>("position");
    QTest::addColumn<QByteArray>("bytes");   // the record as read; blanks for missing bytes
    QTest::addColumn<QStringList>("fields"); // "RRGGBB", or "-": leave that colour

    const QStringList saved{"80FFCC", "FFFFFF", "FF0000", "00FF00", "0000FF", "563412"};
    const QStringList none(6, QStringLiteral("-"));
    QByteArray damaged = kSavedBytes;
    damaged[13] = 'x';
    QTest::newRow("third set") << records(1, 2) + kSavedBytes << "" << 2 << kSavedBytes << saved;
    QTest::newRow("a name without its record")
        << records(1, 2) << "" << 2 << QByteArray(36, ' ') << none;
    QTest::newRow("a record cut short gives its whole fields")
        << recordFor(1) + kSavedBytes.left(15) << "" << 1
        << kSavedBytes.left(15) + QByteArray(21, ' ')
        << QStringList{"80FFCC", "FFFFFF", "-", "-", "-", "-"};
    QTest::newRow("a damaged field gives no colour")
        << damaged << "" << 0 << damaged
        << QStringList{"80FFCC", "FFFFFF", "-", "00FF00", "0000FF", "563412"};
    QTest::newRow("negative position") << kSavedBytes << "" << -1 << QByteArray(36, ' ') << none;
    QTest::newRow("no colour file") << QByteArray() << "" << 0 << QByteArray(36, ' ') << none;
    QTest::newRow("committed deletion: colours still in colorset.tmp")
        << records(1, 2) << "colorset.tmp" << 0 << kSavedBytes << saved;
    QTest::newRow("uncommitted deletion: colorset.dat still holds")
        << kSavedBytes << "set.tmp colorset.tmp" << 0 << kSavedBytes << saved;
}

void TestColorSetStore::read()
{
    QFETCH(QByteArray, colours);
    QFETCH(QString, left);
    QFETCH(int, position);
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, fields);

    const ScopedCurrentDir dir;
    put(kColours, colours);
    for (const QString& file : left.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        put(file, file == kColoursTemp ? kSavedBytes : nameLines(1, 1));
    const ColorSetRecord record = ColorSetStore().read(position);
    QCOMPARE(record.bytes(), bytes);
    QStringList got;
    for (int f = 0; f < ColorSetRecord::kFieldCount; ++f) {
        const std::optional<ColorValue> c = record.color(ColorSetRecord::Field(f));
        got << (c ? ColorToHtml(*c).mid(1) : QStringLiteral("-"));
    }
    QCOMPARE(got, fields);
}

void TestColorSetStore::remove_data()
{
    QTest::addColumn<QByteArray>("names");
    QTest::addColumn<QByteArray>("colours");
    QTest::addColumn<int>("position");
    QTest::addColumn<QByteArray>("namesAfter"); // null: refused, both files as they were
    QTest::addColumn<QByteArray>("coloursAfter");

    QTest::newRow("the first after the undeletable one")
        << nameLines(1, 4) << records(1, 4) << 1 << nameLines(1, 1) + nameLines(3, 2)
        << recordFor(1) + records(3, 2);
    QTest::newRow("the middle of five")
        << nameLines(1, 5) << records(1, 5) << 2 << nameLines(1, 2) + nameLines(4, 2)
        << records(1, 2) + records(4, 2);
    QTest::newRow("the last") << nameLines(1, 4) << records(1, 4) << 3 << nameLines(1, 3)
                              << records(1, 3);
    QTest::newRow("records past the names dropped")
        << nameLines(1, 3) << records(1, 5) << 1 << nameLines(1, 1) + nameLines(3, 1)
        << recordFor(1) + recordFor(3);
    QTest::newRow("missing records stay missing")
        << nameLines(1, 4) << records(1, 2) << 0 << nameLines(2, 3) << recordFor(2);
    QTest::newRow("a partial last record keeps its place")
        << nameLines(1, 4) << records(1, 3) + "0A0B0C0D0E" << 0 << nameLines(2, 3)
        << records(2, 2) + "0A0B0C0D0E";
    QTest::newRow("last line without its end, bare LF")
        << QByteArray("\"a\"\n\"b\"\r\n\"c\"") << records(1, 3) << 1
        << QByteArray("\"a\"\r\n\"c\"\r\n") << recordFor(1) + recordFor(3);
    QTest::newRow("negative position: refused")
        << nameLines(1, 3) << records(1, 3) << -1 << QByteArray() << QByteArray();
    QTest::newRow("past the last name: refused")
        << nameLines(1, 3) << records(1, 3) << 3 << QByteArray() << QByteArray();
}

void TestColorSetStore::remove()
{
    QFETCH(QByteArray, names);
    QFETCH(QByteArray, colours);
    QFETCH(int, position);
    QFETCH(QByteArray, namesAfter);
    QFETCH(QByteArray, coloursAfter);

    const ScopedCurrentDir dir;
    put(kNames, names);
    put(kColours, colours);
    const ColorSetStore::Result result = ColorSetStore().remove(position);
    const bool ok = !namesAfter.isNull();
    QCOMPARE(result.ok, ok);
    QCOMPARE(result.error.isEmpty(), ok);
    QCOMPARE(TestFiles::read(kNames), ok ? namesAfter : names);
    QCOMPARE(TestFiles::read(kColours), ok ? coloursAfter : colours);
    QVERIFY(noTemporaries());
}

void TestColorSetStore::interrupted_data()
{
    QTest::addColumn<QString>("op"); // save, delete, or undo the leftovers of a deletion
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("position"); // the set deleted
    QTest::addColumn<bool>("throws");  // the stop as an exception
    QTest::addColumn<bool>("committed");

    QTest::newRow("save: half the record")
        << "save" << int(Step::RecordPartlyWritten) << 0 << false << false;
    QTest::newRow("save: record, no name, thrown")
        << "save" << int(Step::RecordWritten) << 0 << true << false;
    QTest::newRow("undo: colorset.tmp gone, set.tmp not yet")
        << "undo" << int(Step::LeftoverColoursRemoved) << 1 << false << false;
    const struct
    {
        Step step;
        const char* name;
    } steps[] = {{Step::RemoveStarted, "nothing written"},
                 {Step::NamesTempPartlyWritten, "set.tmp half"},
                 {Step::NamesTempWritten, "set.tmp"},
                 {Step::ColoursTempPartlyWritten, "colorset.tmp half"},
                 {Step::ColoursTempWritten, "both temporaries"},
                 {Step::NamesReplaced, "set.dat replaced"},
                 {Step::ColoursReplaced, "colorset.dat replaced"}};
    for (const auto& s : steps) {
        const bool committed = s.step >= Step::NamesReplaced;
        QTest::addRow("delete the middle: %s", s.name)
            << "delete" << int(s.step) << 2 << false << committed;
        QTest::addRow("delete the last: %s, thrown", s.name)
            << "delete" << int(s.step) << 4 << true << committed;
    }
}

// Whatever step an operation stops at, the sets are those from before or
// from after it, every name with its own colours: read as the files stand,
// and after recover(). The store then carries on normally.
void TestColorSetStore::interrupted()
{
    QFETCH(QString, op);
    QFETCH(int, step);
    QFETCH(int, position);
    QFETCH(bool, throws);
    QFETCH(bool, committed);

    const ScopedCurrentDir dir;
    put(kNames, nameLines(1, 5));
    put(kColours, records(1, 5));
    Sets expected = committed ? numbered(5, position) : numbered(5);
    if (op == QLatin1String("undo")) { // both temporaries complete, not committed
        const Sets after = numbered(5, position);
        put(kColoursTemp, after.records.join());
        QByteArray names;
        for (const QString& name : after.names)
            names += nameLine(name);
        put(kNamesTemp, names);
    }

    ColorSetStore store;
    const ColorSetStore::StepHook stop = [step, throws](Step s) {
        if (s == Step(step) && throws)
            throw std::runtime_error("stop");
        return s != Step(step);
    };
    store.setStepHook(stop);
    try {
        const ColorSetStore::Result result =
            op == QLatin1String("save")
                ? store.save(QStringLiteral("lost"), ColorSetRecord::fromColors(kSaved))
            : op == QLatin1String("delete") ? store.remove(position)
                                            : ColorSetStore::recover(stop);
        QVERIFY(result.stopped && !throws);
    } catch (const std::runtime_error&) {
        QVERIFY(throws);
    }
    QCOMPARE(seen(), expected);
    QVERIFY(ColorSetStore::recover().ok);
    QVERIFY(noTemporaries());
    QCOMPARE(seen(), expected);

    // A record left past the names is taken over by the next save.
    store.setStepHook(nullptr);
    QVERIFY(store.save(QStringLiteral("next"), ColorSetRecord::fromColors(kSaved)).ok);
    expected.names << QStringLiteral("next");
    expected.records << kSavedBytes;
    QCOMPARE(seen(), expected);
    QCOMPARE(TestFiles::read(kColours), expected.records.join());
}

void TestColorSetStore::refused_data()
{
    QTest::addColumn<bool>("deleting");
    QTest::addColumn<QString>("readOnly"); // "." is the folder
    QTest::addColumn<QString>("left");     // leftovers of an interrupted deletion of s2
    QTest::addColumn<QString>("named");    // a file the message names

    QTest::newRow("save, read-only folder") << false << "."
                                            << ""
                                            << "";
    QTest::newRow("save, read-only set.dat") << false << "set.dat"
                                             << ""
                                             << "set.dat";
    QTest::newRow("save, read-only colorset.dat") << false << "colorset.dat"
                                                  << ""
                                                  << "colorset.dat";
    QTest::newRow("delete, read-only folder") << true << "."
                                              << ""
                                              << "";
    QTest::newRow("delete, read-only set.dat") << true << "set.dat"
                                               << ""
                                               << "set.dat";
    QTest::newRow("delete, read-only colorset.dat") << true << "colorset.dat"
                                                    << ""
                                                    << "colorset.dat";
    QTest::newRow("delete, read-only folder, uncommitted deletion left") << true << "."
                                                                         << "set.tmp colorset.tmp"
                                                                         << "colorset.tmp";
    QTest::newRow("delete, read-only folder, committed deletion left") << true << "."
                                                                       << "colorset.tmp"
                                                                       << "colorset.tmp";
}

// Refused before anything is written: a message naming the folder, the
// files as they were, and the sets as they read, leftovers or not.
void TestColorSetStore::refused()
{
    QFETCH(bool, deleting);
    QFETCH(QString, readOnly);
    QFETCH(QString, left);
    QFETCH(QString, named);
    if (TestFiles::ignoresPermissions())
        QSKIP("permissions do not bind this user; the unprivileged run covers this");

    const ScopedCurrentDir dir;
    const bool committed = left == kColoursTemp;
    put(kNames, committed ? nameLines(1, 1) + nameLines(3, 2) : nameLines(1, 4));
    put(kColours, records(1, 4));
    for (const QString& file : left.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        put(file,
            file == kNamesTemp ? nameLines(1, 1) + nameLines(3, 2) : recordFor(1) + records(3, 2));
    const QStringList before = QDir().entryList(QDir::Files);
    QVERIFY(TestFiles::setReadOnly(readOnly, true));
    const ColorSetStore::Result result =
        deleting ? ColorSetStore().remove(2)
                 : ColorSetStore().save(QStringLiteral("x"), ColorSetRecord::fromColors(kSaved));
    const Sets sets = seen();
    TestFiles::setReadOnly(readOnly, false);

    QVERIFY(!result.ok);
    const QString folder = QLatin1Char('"') + QDir::toNativeSeparators(QDir::currentPath()) + '"';
    QVERIFY2(result.error.contains(folder), qPrintable(result.error));
    QVERIFY2(result.error.contains(QLatin1Char('"') + named), qPrintable(result.error));
    QCOMPARE(QDir().entryList(QDir::Files), before);
    QCOMPARE(TestFiles::read(kColours), records(1, 4));
    QCOMPARE(sets, committed ? numbered(4, 1) : numbered(4));
}

void TestColorSetStore::tenThousandSets()
{
    const ScopedCurrentDir dir;
    put(kNames, nameLines(1, 10000));
    put(kColours, records(1, 10000));
    ColorSetStore store;
    QVERIFY(store.save(QStringLiteral("s10001"), ColorSetRecord::fromBytes(recordFor(10001))).ok);
    QVERIFY(store.remove(5000).ok);
    QCOMPARE(TestFiles::read(kNames), nameLines(1, 5000) + nameLines(5002, 5000));
    QCOMPARE(TestFiles::read(kColours), records(1, 5000) + records(5002, 5000));
}

QTEST_APPLESS_MAIN(TestColorSetStore)
#include "tst_colorsetstore.moc"
