#pragma once

#include <QElapsedTimer>

namespace tintaro {

// Waits whole seconds without processing window events. Runs on a monotonic
// clock, so a wait begun just before midnight (or across a clock change)
// still ends after the time asked for.
class Delay
{
public:
    static void wait(int seconds);
};

} // namespace tintaro
