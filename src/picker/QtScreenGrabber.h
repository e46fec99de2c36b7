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

private:
    std::optional<DesktopShot> grab(QString* whyNot);
};

} // namespace tintaro
