// The saved colour sets: "colorset.dat" read for every name of "set.dat",
// with the leftovers of an interrupted deletion ("set.tmp", "colorset.tmp")
// recovered, and then one change made to the sets.
//
// Input: four header bytes, then up to five parts split by the separator:
// the contents of "set.dat", "colorset.dat", "set.tmp", "colorset.tmp" and
// the name for a save (UTF-8).
//   byte 0  which files exist: bit 0 "set.dat", bit 1 "colorset.dat",
//           bit 2 "set.tmp", bit 3 "colorset.tmp" ('3' the first two, '?'
//           all four, ';' a committed deletion, '7' an uncommitted one)
//   byte 1  what to do after recovering: 'r' delete a set, 'c' delete a set
//           and stop at a step as a crash would, 's' save a set, 'x' save and
//           stop at a step; anything else only reads and recovers
//   byte 2  the position of the set to delete, from '0'
//   byte 3  the step to stop at, from '0'
//
// Checked:
// - every position reads the record of its number from the colours file in
//   use (blank where missing or cut short), and field colours are those of
//   six hexadecimal digits;
// - recovery, also when interrupted itself and run again, leaves no
//   temporary file, never touches "set.dat", keeps "colorset.dat" or
//   replaces it with "colorset.tmp" (a committed deletion) and loses neither
//   otherwise, and every set reads the same before and after it;
// - a deletion removes exactly its set and moves the later ones up, or
//   changes nothing when refused; interrupted at any step, the sets read as
//   before or as after it, and recovery keeps them so;
// - a save adds exactly its name and record and leaves the other sets, or
//   changes nothing when refused; interrupted, the sets are as before.

#include "FuzzSupport.h"

#include "ColorSetRecord.h"
#include "ColorSetStore.h"
#include "ColorValue.h"
#include "SetNameFile.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <limits>
#include <optional>

using namespace tintaro;

namespace {

using Step = ColorSetStore::Step;

constexpr const char* kFiles[4] = {ColorSetStore::kNamesFile, ColorSetStore::kColoursFile,
                                   ColorSetStore::kNamesTemp, ColorSetStore::kColoursTemp};
constexpr int kNames = 0, kColours = 1, kNamesTemp = 2, kColoursTemp = 3;

// What the program shows of the sets: the list and each entry's record.
struct Sets
{
    QStringList names;
    QList<QByteArray> records;

    bool operator==(const Sets& other) const
    {
        return names == other.names && records == other.records;
    }
    bool operator!=(const Sets& other) const { return !(*this == other); }
};

QByteArray describe(const Sets& sets)
{
    QByteArray out;
    for (qsizetype p = 0; p < sets.names.size(); ++p)
        out += "  " + QByteArray::number(p) + ": " + fuzz::show(sets.names[p].toUtf8()) + " " +
               fuzz::show(sets.records.value(p)) + "\n";
    return out.isEmpty() ? QByteArray("  (no sets)\n") : out;
}

struct Files
{
    QByteArray bytes[4];

    static Files now()
    {
        Files files;
        for (int i = 0; i < 4; ++i)
            files.bytes[i] = fuzz::fileBytes(kFiles[i]);
        return files;
    }

    bool operator==(const Files& other) const
    {
        for (int i = 0; i < 4; ++i) {
            if (bytes[i] != other.bytes[i])
                return false;
        }
        return true;
    }
};

QByteArray describe(const Files& files)
{
    QByteArray out;
    for (int i = 0; i < 4; ++i)
        out += QByteArray("  ") + kFiles[i] + ": " + fuzz::show(files.bytes[i]) + "\n";
    return out;
}

// Record `position` of a colours file's bytes as reading must give it.
QByteArray expectedRecord(const QByteArray& colours, qint64 position)
{
    QByteArray record = colours.mid(position * ColorSetRecord::kSize, ColorSetRecord::kSize);
    if (record.isNull())
        record = QByteArray("");
    return record.leftJustified(ColorSetRecord::kSize, ' ', true);
}

std::optional<ColorValue> expectedField(const QByteArray& field)
{
    ColorValue value = 0;
    for (char c : field) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return std::nullopt;
        value = value * 16 + digit;
    }
    return value;
}

QStringList loadNames()
{
    if (!fuzz::fileExists(ColorSetStore::kNamesFile))
        return {};
    const SetNameFile::LoadResult loaded =
        SetNameFile::load(QString::fromLatin1(ColorSetStore::kNamesFile));
    FUZZ_CHECK(loaded.ok, "set.dat does not load: " + loaded.error.toLocal8Bit());
    return loaded.names;
}

// Reads every set, checking each record against the colours file in use.
Sets readSets(const ColorSetStore& store)
{
    const Files files = Files::now();
    const bool committed = files.bytes[kNamesTemp].isNull() && !files.bytes[kColoursTemp].isNull();
    const QString inUse =
        QString::fromLatin1(committed ? ColorSetStore::kColoursTemp : ColorSetStore::kColoursFile);
    FUZZ_CHECK(ColorSetStore::coloursFileInUse() == inUse,
               "colours read from " + ColorSetStore::coloursFileInUse().toLocal8Bit() + " with\n" +
                   describe(files));
    const QByteArray& colours = files.bytes[committed ? kColoursTemp : kColours];

    Sets sets;
    sets.names = loadNames();
    // One position past the names too: a record nobody owns yet.
    for (qint64 p = -1; p <= sets.names.size(); ++p) {
        const ColorSetRecord record = store.read(std::int32_t(p));
        const QByteArray want =
            p < 0 ? QByteArray(ColorSetRecord::kSize, ' ') : expectedRecord(colours, p);
        FUZZ_CHECK(record.bytes() == want, "position " + QByteArray::number(p) + " read as " +
                                               fuzz::show(record.bytes()) + ", expected " +
                                               fuzz::show(want) + "; files:\n" + describe(files));
        for (int f = 0; f < ColorSetRecord::kFieldCount; ++f) {
            const auto field = ColorSetRecord::Field(f);
            const std::optional<ColorValue> colour = record.color(field);
            const std::optional<ColorValue> wantColour =
                expectedField(want.mid(f * ColorSetRecord::kFieldSize, ColorSetRecord::kFieldSize));
            FUZZ_CHECK(colour == wantColour,
                       "position " + QByteArray::number(p) + " field " + QByteArray::number(f) +
                           " of " + fuzz::show(want) + " gave " +
                           (colour ? QByteArray::number(*colour, 16) : QByteArray("nothing")));
        }
        if (p >= 0 && p < sets.names.size())
            sets.records.append(record.bytes());
    }
    for (std::int32_t p :
         {std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()}) {
        FUZZ_CHECK(store.read(p) == ColorSetRecord(), "position " + QByteArray::number(p) +
                                                          " read as " +
                                                          fuzz::show(store.read(p).bytes()));
    }
    return sets;
}

void checkNoTemporaries(const char* when)
{
    const Files files = Files::now();
    FUZZ_CHECK(files.bytes[kNamesTemp].isNull() && files.bytes[kColoursTemp].isNull(),
               QByteArray("temporary files left ") + when + ":\n" + describe(files));
}

// Recovery, interrupted between its two removals and run again, then once
// more for good measure. Returns the sets as they then read.
Sets recoverAndCheck(const ColorSetStore& store, const Files& before, const Sets& setsBefore)
{
    const bool undo = !before.bytes[kNamesTemp].isNull();
    const bool finish = !undo && !before.bytes[kColoursTemp].isNull();

    bool interrupted = false;
    const ColorSetStore::Result first = ColorSetStore::recover([&](Step step) {
        FUZZ_CHECK(step == Step::LeftoverColoursRemoved,
                   "recovery reached step " + QByteArray::number(int(step)));
        interrupted = true;
        return false;
    });
    FUZZ_CHECK(interrupted == undo, "recovery interrupted: " + QByteArray::number(interrupted) +
                                        " with\n" + describe(before));
    FUZZ_CHECK(first.ok == !undo && first.stopped == undo && first.error.isEmpty(),
               "interrupted recovery: ok " + QByteArray::number(first.ok) + ", stopped " +
                   QByteArray::number(first.stopped) + ", error " + first.error.toLocal8Bit());
    const Sets midway = readSets(store);
    FUZZ_CHECK(midway == setsBefore, "interrupted recovery changed the sets from\n" +
                                         describe(setsBefore) + "to\n" + describe(midway) +
                                         "files before:\n" + describe(before));

    const ColorSetStore::Result second = ColorSetStore::recover();
    FUZZ_CHECK(second.ok, "recovery failed: " + second.error.toLocal8Bit());
    checkNoTemporaries("by recovery");
    const Files after = Files::now();
    FUZZ_CHECK(after.bytes[kNames] == before.bytes[kNames], "recovery changed set.dat; before:\n" +
                                                                describe(before) + "after:\n" +
                                                                describe(after));
    const QByteArray& wantColours = finish ? before.bytes[kColoursTemp] : before.bytes[kColours];
    FUZZ_CHECK(after.bytes[kColours] == wantColours,
               "recovery left the wrong colorset.dat; before:\n" + describe(before) + "after:\n" +
                   describe(after));
    const Sets recovered = readSets(store);
    FUZZ_CHECK(recovered == setsBefore, "recovery changed the sets from\n" + describe(setsBefore) +
                                            "to\n" + describe(recovered));

    const ColorSetStore::Result third = ColorSetStore::recover();
    FUZZ_CHECK(third.ok && Files::now() == after,
               "a recovery with nothing to recover changed something: " +
                   third.error.toLocal8Bit());
    return recovered;
}

// The sets after deleting `position` from `sets`.
Sets without(Sets sets, qsizetype position)
{
    sets.names.removeAt(position);
    sets.records.removeAt(position);
    return sets;
}

constexpr Step kRemoveSteps[] = {Step::RemoveStarted,      Step::NamesTempPartlyWritten,
                                 Step::NamesTempWritten,   Step::ColoursTempPartlyWritten,
                                 Step::ColoursTempWritten, Step::NamesReplaced,
                                 Step::ColoursReplaced};
constexpr Step kSaveSteps[] = {Step::RecordPartlyWritten, Step::RecordWritten};

void removeAndCheck(ColorSetStore& store, const Sets& before, int position,
                    std::optional<Step> stop)
{
    const Files filesBefore = Files::now();
    const bool valid =
        !filesBefore.bytes[kNames].isNull() && position >= 0 && position < before.names.size();
    bool stopped = false;
    if (stop) {
        store.setStepHook([&](Step step) {
            if (step != *stop)
                return true;
            stopped = true;
            return false;
        });
    }
    const ColorSetStore::Result result = store.remove(position);
    store.setStepHook({});
    const QByteArray what = "deleting position " + QByteArray::number(position) + " of\n" +
                            describe(before) + "files:\n" + describe(filesBefore);

    if (!valid) {
        FUZZ_CHECK(!result.ok && !result.stopped && !result.error.isEmpty(),
                   "not refused: " + what);
        FUZZ_CHECK(Files::now() == filesBefore, "a refused deletion changed the files: " + what);
        return;
    }
    const Sets after = without(before, position);
    if (!stop) {
        FUZZ_CHECK(result.ok, "failed (" + result.error.toLocal8Bit() + "): " + what);
        checkNoTemporaries("by a deletion");
        const Sets now = readSets(store);
        FUZZ_CHECK(now == after, what + "gave\n" + describe(now));
        return;
    }

    FUZZ_CHECK(stopped && result.stopped && !result.ok,
               "not stopped at step " + QByteArray::number(int(*stop)) + ": " + what);
    const Sets crashed = readSets(store);
    const bool committed = *stop == Step::NamesReplaced || *stop == Step::ColoursReplaced;
    FUZZ_CHECK(crashed == (committed ? after : before),
               "stopped at step " + QByteArray::number(int(*stop)) + ", " + what + "gave\n" +
                   describe(crashed) + "files:\n" + describe(Files::now()));
    recoverAndCheck(store, Files::now(), crashed);
}

void saveAndCheck(ColorSetStore& store, const Sets& before, const QString& name,
                  std::optional<Step> stop)
{
    const Files filesBefore = Files::now();
    ColorSetRecord::Colors colours{};
    for (int f = 0; f < ColorSetRecord::kFieldCount; ++f)
        colours[std::size_t(f)] = 0x102030 * (f + 1) & 0xFFFFFF;
    const ColorSetRecord record = ColorSetRecord::fromColors(colours);
    const bool valid = !name.contains(QLatin1Char('\n')) && !name.contains(QLatin1Char('\r'));
    bool stopped = false;
    if (stop) {
        store.setStepHook([&](Step step) {
            if (step != *stop)
                return true;
            stopped = true;
            return false;
        });
    }
    const ColorSetStore::Result result = store.save(name, record);
    store.setStepHook({});
    const QByteArray what = "saving " + fuzz::show(name.toUtf8()) + " after\n" + describe(before) +
                            "files:\n" + describe(filesBefore);

    if (!valid) {
        FUZZ_CHECK(!result.ok && !result.stopped && !result.error.isEmpty(),
                   "not refused: " + what);
        FUZZ_CHECK(Files::now() == filesBefore, "a refused save changed the files: " + what);
        return;
    }
    if (stop) {
        FUZZ_CHECK(stopped && result.stopped && !result.ok,
                   "not stopped at step " + QByteArray::number(int(*stop)) + ": " + what);
        const Sets crashed = readSets(store);
        FUZZ_CHECK(crashed == before, "stopped at step " + QByteArray::number(int(*stop)) + ", " +
                                          what + "gave\n" + describe(crashed));
        recoverAndCheck(store, Files::now(), crashed);
        // The next save takes the slot as if nothing had happened.
        saveAndCheck(store, before, name, std::nullopt);
        return;
    }
    FUZZ_CHECK(result.ok, "failed (" + result.error.toLocal8Bit() + "): " + what);
    FUZZ_CHECK(result.name == name, "saved as " + fuzz::show(result.name.toUtf8()) + ": " + what);
    checkNoTemporaries("by a save");
    Sets after = before;
    after.names.append(result.name);
    after.records.append(record.bytes());
    const Sets now = readSets(store);
    FUZZ_CHECK(now == after, what + "gave\n" + describe(now));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::uint8_t header[4] = {0, 0, 0, 0};
    const std::size_t headerSize = size < 4 ? size : 4;
    for (std::size_t i = 0; i < headerSize; ++i)
        header[i] = data[i];
    const QList<QByteArray> parts = fuzz::splitParts(data + headerSize, size - headerSize, 5);

    fuzz::freshFolder();
    for (int i = 0; i < 4; ++i) {
        if (header[0] & (1u << i))
            fuzz::putFile(kFiles[i], parts[i].isNull() ? QByteArray("") : parts[i]);
    }

    ColorSetStore store;
    const Files files = Files::now();
    const Sets sets = recoverAndCheck(store, files, readSets(store));

    const int position = int(header[2]) - '0';
    switch (header[1]) {
    case 'r':
        removeAndCheck(store, sets, position, std::nullopt);
        break;
    case 'c':
        removeAndCheck(store, sets, position,
                       kRemoveSteps[header[3] % (sizeof kRemoveSteps / sizeof *kRemoveSteps)]);
        break;
    case 's':
    case 'x': {
        const QString name =
            parts[4].isNull() ? QStringLiteral("scheme1") : QString::fromUtf8(parts[4]);
        std::optional<Step> stop;
        if (header[1] == 'x')
            stop = kSaveSteps[header[3] % (sizeof kSaveSteps / sizeof *kSaveSteps)];
        saveAndCheck(store, sets, name, stop);
        break;
    }
    default:
        break;
    }
    return 0;
}
