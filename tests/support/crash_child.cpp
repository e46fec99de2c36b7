// Runs one change of the user's files in the current folder and dies at its
// N-th step as a crash would (std::_Exit: nothing is closed, flushed or removed):
//   tintaro_crash_child <N> delete-colour <record> <piece size> | clean-colours <piece size>
//                         | delete-set <position> | save-set <name> <36-byte record>
// A piece size above 0 makes the temporary grow by at most that many bytes a
// step. N = 0 never stops. Stopped: prints "stopped <step>", exit code 77;
// finished: prints "done" and every step passed, 0; failed: 1.

#include "ColorSetStore.h"
#include "PaletteFile.h"
#include "RecordRewriter.h"

#include <cstdio>
#include <cstdlib>
#include <set>

using namespace tintaro;

namespace {

const char* const kFileSteps[] = {"TemporaryOpened", "PartWritten", "Synced",
                                  "Closed",          "Renaming",    "Renamed"};
const char* const kSetSteps[] = {"RecordPartlyWritten", "RecordWritten",
                                 "RemoveStarted",       "NamesTempPartlyWritten",
                                 "NamesTempWritten",    "ColoursTempPartlyWritten",
                                 "ColoursTempWritten",  "NamesReplaced",
                                 "ColoursReplaced",     "LeftoverColoursRemoved"};
int g_stopAt = 0;
QByteArray g_passed;

void reached(const char* step)
{
    if (--g_stopAt == 0) {
        std::printf("stopped %s\n", step);
        std::fflush(stdout);
        std::_Exit(77);
    }
    g_passed += ' ' + QByteArray(step);
}

} // namespace

int main(int argc, char** argv)
{
    const QByteArray operation = argc > 2 ? argv[2] : "";
    g_stopAt = argc > 1 ? std::atoi(argv[1]) : 0;
    bool ok = false;
    QString error = QStringLiteral("usage: see crash_child.cpp");
    if (operation.endsWith("-colours") || operation == "delete-colour") {
        const int doomed = operation == "delete-colour" && argc == 5 ? std::atoi(argv[3]) : 0;
        std::set<QByteArray> seen; // cleaning keeps the oldest of equal records; letter case counts
        const auto keep = [&](std::int32_t n, const ColorRecord& r) {
            return doomed ? n != doomed
                          : seen.insert(QByteArray(r.bytes.data(), ColorRecord::kSize)).second;
        };
        PaletteFile file;
        file.open(QStringLiteral("mycolor.rgb"), PaletteFile::Access::ReadWrite);
        const auto observer = [](AtomicFileWriter::Step step) { reached(kFileSteps[int(step)]); };
        const auto result = RecordRewriter::rewrite(file, file.countRecords(), keep, observer,
                                                    std::atoll(argv[argc - 1]));
        ok = result.ok;
        error = result.error;
    } else {
        ColorSetStore store;
        store.setStepHook([](ColorSetStore::Step step) {
            reached(kSetSteps[int(step)]);
            return true;
        });
        const auto result =
            operation == "delete-set" && argc == 4 ? store.remove(std::atoi(argv[3]))
            : operation == "save-set" && argc == 5
                ? store.save(QString::fromLocal8Bit(argv[3]), ColorSetRecord::fromBytes(argv[4]))
                : ColorSetStore::Result{false, false, error, {}};
        ok = result.ok;
        error = result.error;
    }
    if (!ok)
        std::fprintf(stderr, "failed: %s\n", qPrintable(error));
    else
        std::printf("done%s\n", g_passed.constData());
    return ok ? 0 : 1;
}
