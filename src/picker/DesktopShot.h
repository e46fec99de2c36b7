#pragma once

#include "DesktopLayout.h"

#include <QImage>

namespace tintaro {

// A still image of the whole virtual desktop at physical resolution, with
// the layout that places its pixels under the pointer.
struct DesktopShot
{
    QImage image;
    DesktopLayout layout;
};

} // namespace tintaro
