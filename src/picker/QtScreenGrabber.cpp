#include "QtScreenGrabber.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>

#include <cstring>

#if defined(TINTARO_HAVE_XCB)
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>
#endif

namespace tintaro {

bool QtScreenGrabber::movePointer(QPoint physical)
{
#if defined(TINTARO_HAVE_XCB)
    // QCursor::setPos takes whole logical pixels: at a ratio of 2 only every
    // other physical pixel could be reached. The root window's coordinates
    // are the desktop's physical ones.
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return false;
    const xcb_screen_t* root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (!root)
        return false;
    xcb_warp_pointer(connection, XCB_NONE, root->root, 0, 0, 0, 0, int16_t(physical.x()),
                     int16_t(physical.y()));
    xcb_flush(connection);
    return true;
#else
    Q_UNUSED(physical);
    return false;
#endif
}

void QtScreenGrabber::request(Done done)
{
    GrabResult result;
    result.shot = grab(&result.whyNot);
    done(std::move(result));
}

std::optional<DesktopShot> QtScreenGrabber::grab(QString* whyNot)
{
    DesktopLayout layout = DesktopLayout::current();
    if (layout.isEmpty()) {
        *whyNot = QStringLiteral("no screen is known");
        return std::nullopt;
    }
    const QRect bounds = layout.physicalBounds();
    const QList<QScreen*> screens = QGuiApplication::screens();

    // One screen (the usual case) needs no second full-size copy.
    if (screens.size() == 1) {
        QImage image = screens.front()->grabWindow(0).toImage();
        if (image.isNull()) {
            *whyNot = QStringLiteral("the window system gave no image of the screen");
            return std::nullopt;
        }
        image.setDevicePixelRatio(1.0);
        if (image.format() != QImage::Format_RGB32)
            image = std::move(image).convertToFormat(QImage::Format_RGB32);
        return DesktopShot{std::move(image), std::move(layout)};
    }

    QImage desktop(bounds.size(), QImage::Format_RGB32);
    desktop.fill(Qt::black); // gaps between screens of unequal size
    bool any = false;
    for (std::size_t i = 0; i < layout.screens().size() && int(i) < screens.size(); ++i) {
        QImage part = screens[int(i)]->grabWindow(0).toImage();
        if (part.isNull())
            continue;
        any = true;
        part = std::move(part).convertToFormat(QImage::Format_RGB32);
        // Copy rows as they are: no painter, so no scaling and no blending.
        const QPoint at = layout.screens()[i].physicalTopLeft - bounds.topLeft();
        const QRect target = QRect(at, part.size()) & desktop.rect();
        for (int y = target.top(); y <= target.bottom(); ++y)
            std::memcpy(desktop.scanLine(y) + target.left() * 4,
                        part.constScanLine(y - at.y()) + (target.left() - at.x()) * 4,
                        std::size_t(target.width()) * 4);
    }
    if (!any) {
        *whyNot = QStringLiteral("the window system gave no image of any screen");
        return std::nullopt;
    }
    return DesktopShot{std::move(desktop), std::move(layout)};
}

} // namespace tintaro
