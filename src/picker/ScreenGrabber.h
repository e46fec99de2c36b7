#pragma once

#include "DesktopShot.h"

#include <QString>

#include <memory>
#include <optional>

namespace tintaro {

// Takes a still image of the whole desktop, every screen included, with
// the pointer left out and the pixel values as the screen holds them.
// One implementation per window-system mechanism; tests hand in their own.
class ScreenGrabber
{
public:
    virtual ~ScreenGrabber() = default;

    // The image, or nothing with the reason in `whyNot`.
    virtual std::optional<DesktopShot> grab(QString* whyNot) = 0;

    // The mechanism for the platform the application runs on.
    static std::unique_ptr<ScreenGrabber> create();
};

} // namespace tintaro
