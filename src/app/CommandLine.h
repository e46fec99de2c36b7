#pragma once

#include <cstdio>
#include <optional>

namespace tintaro {

// The options that do their work and end without a window: they run
// before any application object exists, so they need no display, and
// they print plain text. Exit statuses: 0 done (every pair passes), 2 bad
// input, 3 a check failed.
class CommandLine
{
public:
    static constexpr int kDone = 0;
    static constexpr int kBadInput = 2;
    static constexpr int kCheckFailed = 3;

    // The exit status when the arguments ask for such an option; none when
    // the program is to start its window (Qt's own options are left to it).
    static std::optional<int> run(int argc, const char* const* argv, std::FILE* out,
                                  std::FILE* err);

private:
    static int checkSets(const char* wanted, std::FILE* out, std::FILE* err);
    static int formatColour(int argc, const char* const* argv, std::FILE* out, std::FILE* err);
    static int exportColours(int argc, const char* const* argv, std::FILE* out, std::FILE* err);
};

} // namespace tintaro
