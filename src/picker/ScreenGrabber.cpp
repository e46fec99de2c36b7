#include "ScreenGrabber.h"

#include "PortalScreenGrabber.h"
#include "QtScreenGrabber.h"

#include <QGuiApplication>

namespace tintaro {

std::unique_ptr<ScreenGrabber> ScreenGrabber::create()
{
    // Wayland lets no client read the screen; the desktop portal asks the
    // compositor for it. Everywhere else Qt reads the screens directly.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return std::make_unique<PortalScreenGrabber>();
    return std::make_unique<QtScreenGrabber>();
}

} // namespace tintaro
