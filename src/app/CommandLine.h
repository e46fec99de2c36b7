#pragma once

#include "OneShotPick.h"

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

    // The exit status when the arguments ask for such an option, or are
    // wrong; none when the program is to start its window or a one-shot pick
    // (Qt's own options are left to it).
    static std::optional<int> run(int argc, const char* const* argv, std::FILE* out,
                                  std::FILE* err);

    // The one-shot pick's options, once run() let them through (it needs the
    // display, so it runs in the application).
    static std::optional<OneShotPick::Request> pickRequest(int argc, const char* const* argv);

private:
    static std::optional<int> checkPick(int argc, const char* const* argv, std::FILE* err);
    static std::optional<int> checkUnknown(int argc, const char* const* argv, std::FILE* err);
    static int checkSets(const char* wanted, std::FILE* out, std::FILE* err);
    static int formatColour(int argc, const char* const* argv, std::FILE* out, std::FILE* err);
    static int exportColours(int argc, const char* const* argv, std::FILE* out, std::FILE* err);
};

} // namespace tintaro
