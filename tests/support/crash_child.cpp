// Makes one change of the user's files in the current folder as the program makes it:
//   tintaro_crash_child stop|fail N delete-colour <record> | clean-colours
//                       | delete-set <position> | save-set <name> <36-byte record>
// It defines the calls Qt and the standard library make to change files, ahead of the C
// library's, and counts them. "stop N" dies before the N-th as a crash would (std::_Exit),
// status 77; "fail N" makes it fail as a full disk would. Done: "done <calls>", status 0;
// the change failed: its message on standard error, status 1.

#include "ColorSetStore.h"
#include "PaletteFile.h"
#include "RecordRewriter.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

using namespace tintaro;

namespace {

bool g_stop = false;
int g_at = -1; // the call to stop or fail at; -1: counting has not begun
int g_calls = 0;
bool g_full = false; // a failed write leaves the disk full: every later write fails too

// True when this call is to fail; never returns when it is to stop.
bool strike(const char* call)
{
    const bool write = std::strcmp(call, "write") == 0;
    if (g_at < 0 || (++g_calls != g_at && !(g_full && write)))
        return false;
    if (g_stop)
        std::_Exit(77); // nothing more is written, closed or removed
    if (!g_full)
        std::fprintf(stderr, "failing %s\n", call);
    g_full = g_full || write;
    errno = ENOSPC;
    return true;
}

template <typename F> F real(const char* name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

} // namespace

#define PASS(name, ret, params, args, guard, exceptions)                                           \
    extern "C" ret name params exceptions                                                          \
    {                                                                                              \
        if ((guard) && strike(#name))                                                              \
            return -1;                                                                             \
        return real<ret(*) params>(#name) args;                                                    \
    }
PASS(write, ssize_t, (int fd, const void* b, size_t n), (fd, b, n), fd > 2, )
PASS(fsync, int, (int fd), (fd), true, )
PASS(rename, int, (const char* a, const char* b), (a, b), true, noexcept)
PASS(unlink, int, (const char* p), (p), true, noexcept)
PASS(remove, int, (const char* p), (p), true, noexcept)
PASS(truncate64, int, (const char* p, off64_t n), (p, n), true, noexcept)
extern "C" int open64(const char* p, int flags, ...)
{
    va_list list;
    va_start(list, flags);
    const mode_t mode = (flags & (O_CREAT | O_TMPFILE)) ? va_arg(list, mode_t) : 0;
    va_end(list);
    if ((flags & (O_WRONLY | O_RDWR | O_CREAT | O_TRUNC)) && strike("open64"))
        return -1;
    return real<int (*)(const char*, int, ...)>("open64")(p, flags, mode);
}

int main(int argc, char** argv)
{
    const QByteArray operation = argc > 3 ? argv[3] : "";
    bool ok = false;
    QString error = QStringLiteral("usage: see crash_child.cpp");
    g_stop = argc > 1 && QByteArray(argv[1]) == "stop";
    const int at = argc > 2 ? std::atoi(argv[2]) : 0;
    if (operation == "clean-colours" || operation == "delete-colour") {
        const int doomed = argc > 4 ? std::atoi(argv[4]) : 0;
        std::set<QByteArray> seen; // cleaning keeps the oldest of equal records
        const auto keep = [&](std::int32_t n, const ColorRecord& r) {
            return doomed ? n != doomed
                          : seen.insert(QByteArray(r.bytes.data(), ColorRecord::kSize)).second;
        };
        PaletteFile file;
        file.open(QStringLiteral("mycolor.rgb"), PaletteFile::Access::ReadWrite);
        g_at = at; // the file was open long before the change, as in the program
        const auto result = RecordRewriter::rewrite(file, file.countRecords(), keep);
        ok = result.ok;
        error = result.error;
    } else if (operation == "delete-set" || operation == "save-set") {
        ColorSetStore store;
        g_at = at;
        const auto result = argc == 5   ? store.remove(std::atoi(argv[4]))
                            : argc == 6 ? store.save(QString::fromLocal8Bit(argv[4]),
                                                     ColorSetRecord::fromBytes(argv[5]))
                                        : ColorSetStore::Result{false, error, {}};
        ok = result.ok;
        error = result.error;
    }
    if (!ok)
        std::fprintf(stderr, "failed: %s\n", qPrintable(error));
    else
        std::printf("done %d\n", g_calls);
    return ok ? 0 : 1;
}
