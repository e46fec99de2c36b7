#pragma once

#include <memory>

namespace tintaro {

class MainWindow;

// The start procedure: reads the colour-set names, builds the main window
// from the files in the current directory and shows it.
class Startup
{
public:
    static constexpr const char* kSetNamesFile = "set.dat";

    // Returns the shown main window, or nothing after telling the user why
    // the program cannot start (no window shown, no file created).
    static std::unique_ptr<MainWindow> start();

    // start() and the event loop; the process exit status.
    static int run();
};

} // namespace tintaro
