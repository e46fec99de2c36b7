#pragma once

namespace tintaro {

// On X11 a copied text lives in the program that copied it and is gone when that program
// ends. Where no clipboard manager takes it over, a small background process of this
// program's own keeps serving it until another program copies something.
class ClipboardKeeper
{
public:
    // The keeper's option; internal, so the help does not list it.
    static constexpr const char* kOption = "--keep-clipboard";

    // After the event loop, while the application object still exists: when on X11 this
    // program still owns the clipboard with a text and no clipboard manager runs, starts the
    // keeper with that text and waits, bounded, until the keeper owns the clipboard.
    static void handOverAtExit();

    // The keeper itself: owns the clipboard with the text read from standard input until
    // another program owns it (status 0); status 2 when the input is empty or there is no
    // X11 display, 1 when the clipboard cannot be taken.
    static int runKeeper();
};

} // namespace tintaro
