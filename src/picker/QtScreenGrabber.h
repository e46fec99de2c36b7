#pragma once

#include "ScreenGrabber.h"

namespace tintaro {

// Reads every screen through Qt (X11, Windows, macOS) and lays the screens
// side by side as the desktop has them, screens left of or above the
// primary one included.
class QtScreenGrabber : public ScreenGrabber
{
public:
    // Answers at once: reading the screens takes no one's leave.
    void request(Done done) override;
    // On X11 the pointer moves in the root window's own, physical pixels.
    bool movePointer(QPoint physical) override;
    // On X11 the window's "start minimised" hint outlives a restore by the
    // window manager, and would minimise it again when next mapped.
    void beforeOwnerShown(QWindow* owner) override;
    // On X11 the main window is made transient for the program's other windows.
    void keepOwnerAbove(QWindow* owner, bool above) override;

    PickTraits traits() const override;

private:
    // True where Qt keeps each screen's physical corner as its logical one.
    static bool cornersKept();
    std::optional<DesktopShot> grab(QString* whyNot);
};

} // namespace tintaro
