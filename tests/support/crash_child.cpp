// Runs one change of the user's files in the current directory, the way the
// program does it, and dies at its N-th step as a crash would: std::_Exit,
// so nothing is closed, flushed, removed or destroyed.
//
//   tintaro_crash_child <N> delete-colour <record> <piece size>
//   tintaro_crash_child <N> clean-colours <piece size>
//   tintaro_crash_child <N> delete-set <position>
//   tintaro_crash_child <N> save-set <name> <36-byte record>
//   tintaro_crash_child <N> recover-sets
//
// The colour operations work on "mycolor.rgb", counted as at start-up; a
// piece size above 0 makes the temporary grow by at most that many bytes a
// step. The set operations work on "set.dat" and "colorset.dat".
//
// N = 0 never stops. Stopped: prints "stopped <step>", exit code 77.
// Finished: prints "done" and every step passed, exit code 0. Failed or
// misused: a message on stderr, exit code 1.

#include "ColorSetStore.h"
#include "PaletteFile.h"
#include "RecordRewriter.h"

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unordered_set>

using namespace tintaro;

namespace {

constexpr int kStoppedExitCode = 77;

int g_stopAt = 0;
int g_reached = 0;
QByteArray g_passed;

void reached(const char* step)
{
    if (++g_reached == g_stopAt) {
        std::printf("stopped %s\n", step);
        std::fflush(stdout); // the report only; the files stay as they are
        std::_Exit(kStoppedExitCode);
    }
    g_passed += ' ';
    g_passed += step;
}

const char* nameOf(AtomicFileWriter::Step step)
{
    using Step = AtomicFileWriter::Step;
    switch (step) {
    case Step::TemporaryOpened:
        return "TemporaryOpened";
    case Step::PartWritten:
        return "PartWritten";
    case Step::Synced:
        return "Synced";
    case Step::Closed:
        return "Closed";
    case Step::Renaming:
        return "Renaming";
    case Step::Renamed:
        return "Renamed";
    }
    return "UnknownFileStep";
}

const char* nameOf(ColorSetStore::Step step)
{
    using Step = ColorSetStore::Step;
    switch (step) {
    case Step::RecordPartlyWritten:
        return "RecordPartlyWritten";
    case Step::RecordWritten:
        return "RecordWritten";
    case Step::RemoveStarted:
        return "RemoveStarted";
    case Step::NamesTempPartlyWritten:
        return "NamesTempPartlyWritten";
    case Step::NamesTempWritten:
        return "NamesTempWritten";
    case Step::ColoursTempPartlyWritten:
        return "ColoursTempPartlyWritten";
    case Step::ColoursTempWritten:
        return "ColoursTempWritten";
    case Step::NamesReplaced:
        return "NamesReplaced";
    case Step::ColoursReplaced:
        return "ColoursReplaced";
    case Step::LeftoverColoursRemoved:
        return "LeftoverColoursRemoved";
    }
    return "UnknownSetStep";
}

int usage()
{
    std::fputs("usage: tintaro_crash_child <N> delete-colour <record> <piece size>\n"
               "       tintaro_crash_child <N> clean-colours <piece size>\n"
               "       tintaro_crash_child <N> delete-set <position>\n"
               "       tintaro_crash_child <N> save-set <name> <record>\n"
               "       tintaro_crash_child <N> recover-sets\n",
               stderr);
    return 1;
}

int finish(bool ok, const QString& error)
{
    if (!ok) {
        std::fprintf(stderr, "failed: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("done%s\n", g_passed.constData());
    return 0;
}

bool toNumber(const char* text, long* value)
{
    char* end = nullptr;
    *value = std::strtol(text, &end, 10);
    return end != text && *end == '\0';
}

// Rewrites "mycolor.rgb" keeping what `keep` keeps, as the main window does.
int rewriteColours(const RecordRewriter::KeepPredicate& keep, long pieceSize)
{
    PaletteFile file;
    if (!file.open(QStringLiteral("mycolor.rgb"), PaletteFile::Access::ReadWrite))
        return finish(false, file.errorString());
    const RecordRewriter::Result result = RecordRewriter::rewrite(
        file, file.countRecords(), keep,
        [](AtomicFileWriter::Step step) { reached(nameOf(step)); }, pieceSize);
    return finish(result.ok, result.error);
}

} // namespace

int main(int argc, char** argv)
{
    long stopAt = 0;
    if (argc < 3 || !toNumber(argv[1], &stopAt) || stopAt < 0)
        return usage();
    g_stopAt = int(stopAt);
    const char* const operation = argv[2];
    const auto is = [operation](const char* name) { return std::strcmp(operation, name) == 0; };

    ColorSetStore store;
    const ColorSetStore::StepHook hook = [](ColorSetStore::Step step) {
        reached(nameOf(step));
        return true;
    };
    store.setStepHook(hook);

    long number = 0;
    long pieceSize = 0;
    if (is("delete-colour") && argc == 5 && toNumber(argv[3], &number) &&
        toNumber(argv[4], &pieceSize)) {
        const auto doomed = std::int32_t(number);
        return rewriteColours([doomed](std::int32_t n, const ColorRecord&) { return n != doomed; },
                              pieceSize);
    }
    if (is("clean-colours") && argc == 4 && toNumber(argv[3], &pieceSize)) {
        // The oldest of equal records survives; letter case counts.
        std::unordered_set<std::uint64_t> seen;
        return rewriteColours(
            [&seen](std::int32_t, const ColorRecord& record) {
                std::uint64_t key = 0;
                std::memcpy(&key, record.bytes.data(), record.bytes.size());
                return seen.insert(key).second;
            },
            pieceSize);
    }
    if (is("delete-set") && argc == 4 && toNumber(argv[3], &number)) {
        const ColorSetStore::Result result = store.remove(std::int32_t(number));
        return finish(result.ok, result.error);
    }
    if (is("save-set") && argc == 5) {
        const ColorSetStore::Result result =
            store.save(QString::fromLocal8Bit(argv[3]), ColorSetRecord::fromBytes(argv[4]));
        return finish(result.ok, result.error);
    }
    if (is("recover-sets") && argc == 3) {
        const ColorSetStore::Result result = ColorSetStore::recover(hook);
        return finish(result.ok, result.error);
    }
    return usage();
}
