// Deleting a colour and cleaning duplicates rewrite "mycolor.rgb". Here a
// child process runs each rewrite and dies at every one of its steps in
// turn; after each death the folder is looked at as the next start of the
// program sees it, and the next rewrite is run on it.

#include "PaletteFile.h"

#include "CrashChild.h"
#include "TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <vector>

using namespace tintaro;

namespace {

const QString kFile = QStringLiteral("mycolor.rgb");
const QString kTemporary = QStringLiteral("mycolor.tmp");

// The steps of a rewrite that happen once each, whatever the content.
const QStringList kOnceEach{QStringLiteral("TemporaryOpened"), QStringLiteral("Synced"),
                            QStringLiteral("Closed"), QStringLiteral("Renaming"),
                            QStringLiteral("Renamed")};
const QString kPartWritten = QStringLiteral("PartWritten");
const QString kRenamed = QStringLiteral("Renamed");

QByteArray wholeRecords(const QByteArray& bytes)
{
    return bytes.left(bytes.size() / ColorRecord::kSize * ColorRecord::kSize);
}

// Empties `folder` and puts the colour file (and a leftover temporary, when
// not null) in it.
bool prepare(const QString& folder, const QByteArray& content, const QByteArray& leftover)
{
    QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden))
        if (!dir.remove(name))
            return false;
    return TestFiles::write(dir.filePath(kFile), content) &&
           (leftover.isNull() || TestFiles::write(dir.filePath(kTemporary), leftover));
}

// "mycolor.rgb" as the next start reads it: counted from its length and read
// record by record. Its bytes when every record reads back as they are;
// otherwise a failure message.
QString readsAs(const QString& path, const QByteArray& bytes)
{
    PaletteFile file;
    if (!file.open(path, PaletteFile::Access::ReadWrite))
        return QStringLiteral("cannot be opened: ") + file.errorString();
    const std::int32_t count = file.countRecords();
    if (qint64(count) != bytes.size() / ColorRecord::kSize)
        return QStringLiteral("counts %1 records for %2 bytes").arg(count).arg(bytes.size());
    if (count == 0)
        return QString();
    std::vector<std::optional<ColorRecord>> records(std::size_t(count), std::nullopt);
    file.readRange(1, count, records.data());
    for (std::int32_t n = 1; n <= count; ++n) {
        const std::optional<ColorRecord>& record = records[std::size_t(n - 1)];
        if (!record || QByteArray(record->bytes.data(), ColorRecord::kSize) !=
                           bytes.mid((n - 1) * ColorRecord::kSize, ColorRecord::kSize))
            return QStringLiteral("record %1 does not read back").arg(n);
    }
    return QString();
}

} // namespace

class TestCrashSafety : public QObject
{
    Q_OBJECT

public:
    enum Operation
    {
        DeleteColour,
        CleanColours
    };
    Q_ENUM(Operation)

private Q_SLOTS:
    void everyStep_data();
    void everyStep();
};

void TestCrashSafety::everyStep_data()
{
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<QByteArray>("content");  // "mycolor.rgb" before
    QTest::addColumn<int>("record");          // the colour deleted
    QTest::addColumn<int>("pieceSize");       // the temporary grows by at most this a step
    QTest::addColumn<QByteArray>("leftover"); // "mycolor.tmp" before; null: none
    QTest::addColumn<QByteArray>("expected"); // "mycolor.rgb" after

    using TestFiles::records;
    QTest::newRow("delete the middle of ten, cut inside records")
        << DeleteColour << records(10) << 5 << 4 << QByteArray() << records(4) + records(5, 5);
    QTest::newRow("delete the oldest, byte by byte")
        << DeleteColour << records(5) << 1 << 1 << QByteArray() << records(4, 1);
    QTest::newRow("delete the newest, record by record")
        << DeleteColour << records(8) << 8 << 6 << QByteArray() << records(7);
    QTest::newRow("delete the only colour: empty file")
        << DeleteColour << QByteArray("FF8000") << 1 << 1 << QByteArray() << QByteArray("");
    QTest::newRow("delete with a longer mycolor.tmp left by a crash")
        << DeleteColour << records(6) << 2 << 5 << records(40, 100) << records(1) + records(4, 2);
    QTest::newRow("delete, a partial record at the end dropped")
        << DeleteColour << records(5) + "FF8" << 3 << 7 << QByteArray()
        << records(2) + records(2, 3);
    QTest::newRow("delete, damaged records kept as they are")
        << DeleteColour << QByteArray("0A0B0C\0\xffZZ\r\nzz!!--112233", 24) << 1 << 3
        << QByteArray() << QByteArray("\0\xffZZ\r\nzz!!--112233", 18);
    QTest::newRow("delete across chunks of the rewrite")
        << DeleteColour << records(200000) << 65537 << 150000 << QByteArray("0A0B")
        << records(65536) + records(200000 - 65537, 65537);
    QTest::newRow("clean duplicates, letter case counts")
        << CleanColours << QByteArray("FF000000FF00FF00000000FF00FF00ff0000") << 0 << 5
        << QByteArray() << QByteArray("FF000000FF000000FFff0000");
    QTest::newRow("clean a file without duplicates: same bytes")
        << CleanColours << records(12) << 0 << 8 << QByteArray() << records(12);
    QTest::newRow("clean, all equal: one left")
        << CleanColours << QByteArray("80FFCC").repeated(9) << 0 << 2 << QByteArray("80F")
        << QByteArray("80FFCC");
}

// The operation is run again and again, stopped one step later each time,
// until it finishes. After every stop "mycolor.rgb" must be the old file up
// to the rename and the new one from then on, byte for byte, and read as
// such; the next deletion must work on whatever was left and clean up.
void TestCrashSafety::everyStep()
{
    QFETCH(Operation, operation);
    QFETCH(QByteArray, content);
    QFETCH(int, record);
    QFETCH(int, pieceSize);
    QFETCH(QByteArray, leftover);
    QFETCH(QByteArray, expected);

    const QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString file = dir.filePath(kFile);
    const QString temporary = dir.filePath(kTemporary);
    const QStringList run = operation == DeleteColour
                                ? QStringList{QStringLiteral("delete-colour"),
                                              QString::number(record), QString::number(pieceSize)}
                                : QStringList{QStringLiteral("clean-colours"),
                                              QString::number(pieceSize)};
    // The next operation after a crash: deleting the oldest colour.
    const QStringList next{QStringLiteral("delete-colour"), QStringLiteral("1"),
                           QStringLiteral("0")};

    QStringList stoppedAt;
    QString firstNew;     // the first step after which the new content is seen
    qsizetype grown = 0;  // the temporary's length at the last PartWritten
    CrashChild::Run last;
    for (int n = 1;; ++n) {
        QVERIFY2(n <= 1000, "the operation never finished");
        QVERIFY(prepare(dir.path(), content, leftover));
        last = CrashChild::run(dir.path(), n, run);
        if (last.finished())
            break;
        QVERIFY2(last.stopped() && !last.stoppedAt.isEmpty(), qPrintable(last.output));
        const QString step = last.stoppedAt;
        stoppedAt << step;
        const QByteArray where = QStringLiteral("step %1 (%2)").arg(n).arg(step).toUtf8();

        // The user's file, as the next start sees it.
        QVERIFY2(QFileInfo(file).isFile(), where.constData());
        const QByteArray seen = TestFiles::read(file);
        const bool isNew = seen == expected;
        QVERIFY2(isNew || seen == content, where + ": neither the old nor the new content");
        if (isNew && seen != content && firstNew.isEmpty())
            firstNew = step;
        QVERIFY2(isNew || firstNew.isEmpty(), where + ": the old content is back");
        const QString problem = readsAs(file, seen);
        QVERIFY2(problem.isEmpty(), where + ": " + problem.toUtf8());

        // The temporary grows without gaps, each step by at most a piece.
        if (step == kPartWritten) {
            const QByteArray part = TestFiles::read(temporary);
            QVERIFY2(expected.startsWith(part), where + ": the temporary is not the new content");
            QVERIFY2(part.size() > grown && part.size() <= grown + pieceSize,
                     where + ": the temporary grew from " + QByteArray::number(grown) + " to " +
                         QByteArray::number(part.size()) + " bytes");
            grown = part.size();
        }

        // The next deletion works on what was left, leftovers and all.
        const CrashChild::Run again = CrashChild::run(dir.path(), 0, next);
        QVERIFY2(again.finished(), where + ": " + again.output.toUtf8());
        QCOMPARE(TestFiles::read(file), wholeRecords(seen).mid(ColorRecord::kSize));
        QVERIFY2(!QFileInfo::exists(temporary), where + ": the next deletion left mycolor.tmp");
    }

    qInfo("%lld stopping points: %s", qlonglong(stoppedAt.size()),
          qPrintable(stoppedAt.join(QLatin1Char(' '))));

    // Run to the end: the new content, nothing left behind.
    QCOMPARE(TestFiles::read(file), expected);
    QVERIFY(QFileInfo(file).isFile());
    QVERIFY(!QFileInfo::exists(temporary));
    QVERIFY(readsAs(file, expected).isEmpty());

    // Every step was a stopping point once, in the order the operation passes them.
    QCOMPARE(stoppedAt, last.passed);
    for (const QString& step : kOnceEach)
        QVERIFY2(stoppedAt.count(step) == 1, qPrintable(step + QLatin1String(": ") +
                                                        stoppedAt.join(QLatin1Char(' '))));
    // Stopped at every stage of the temporary's growth, up to the whole.
    QCOMPARE(grown, expected.size());
    // The file changes at the rename, not before.
    if (expected != content)
        QCOMPARE(firstNew, kRenamed);
}

QTEST_GUILESS_MAIN(TestCrashSafety)
#include "tst_crashsafety.moc"
