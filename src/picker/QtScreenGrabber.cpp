#include "QtScreenGrabber.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QWindow>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

#if defined(TINTARO_HAVE_XCB)
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>
#endif

namespace tintaro {

#if defined(TINTARO_HAVE_XCB)
namespace {

// Qt's own connection to the X server; null on any other window system.
xcb_connection_t* x11Connection()
{
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

xcb_window_t rootWindow(xcb_connection_t* connection)
{
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    return screen ? screen->root : XCB_NONE;
}

// The X window of `window` where there is one to change: the connection, or null.
xcb_connection_t* x11Window(const QWindow* window, xcb_window_t* id)
{
    xcb_connection_t* connection = x11Connection();
    if (!connection || !window || !window->handle())
        return nullptr;
    *id = xcb_window_t(window->winId());
    return connection;
}

} // namespace
#endif

bool QtScreenGrabber::movePointer(QPoint physical)
{
#if defined(TINTARO_HAVE_XCB)
    // QCursor::setPos takes whole logical pixels: at a ratio of 2 only every
    // other physical pixel could be reached. The root window's coordinates
    // are the desktop's physical ones.
    xcb_connection_t* connection = x11Connection();
    const xcb_window_t root = connection ? rootWindow(connection) : XCB_NONE;
    if (root == XCB_NONE)
        return false;
    xcb_warp_pointer(connection, XCB_NONE, root, 0, 0, 0, 0, int16_t(physical.x()),
                     int16_t(physical.y()));
    xcb_flush(connection);
    return true;
#else
    Q_UNUSED(physical);
    return false;
#endif
}

void QtScreenGrabber::beforeOwnerShown(QWindow* owner)
{
#if defined(TINTARO_HAVE_XCB)
    // Qt leaves the initial state of WM_HINTS at Iconic once the window was
    // minimised, and its own record of the state follows the window manager
    // so that asking it for the normal state changes nothing. The window is
    // withdrawn now, so the hint can be rewritten before the window manager
    // reads it at the next map.
    xcb_window_t window = XCB_NONE;
    xcb_connection_t* connection = x11Window(owner, &window);
    if (!connection)
        return;
    constexpr uint32_t kFields = 9; // flags, input, initial_state, ... window_group
    constexpr uint32_t kStateHint = 1u << 1;
    constexpr uint32_t kNormalState = 1;
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(connection, 0, window, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 0, kFields);
    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(connection, cookie, nullptr), &std::free);
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) < int(3 * 4))
        return;
    uint32_t hints[kFields] = {};
    const int length = std::min(xcb_get_property_value_length(reply.get()), int(sizeof hints));
    std::memcpy(hints, xcb_get_property_value(reply.get()), std::size_t(length));
    if ((hints[0] & kStateHint) && hints[2] == kNormalState)
        return;
    hints[0] |= kStateHint;
    hints[2] = kNormalState;
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_HINTS,
                        XCB_ATOM_WM_HINTS, 32, uint32_t(length / 4), hints);
    xcb_flush(connection);
#else
    Q_UNUSED(owner);
#endif
}

void QtScreenGrabber::keepOwnerAbove(QWindow* owner, bool above)
{
#if defined(TINTARO_HAVE_XCB)
    // Window managers keep a transient window above the windows it belongs
    // to, in their layer or a higher one. The stay-on-top hint alone is not
    // enough: a borderless window the size of a monitor or of the whole
    // desktop counts as full screen with some managers (openbox, metacity),
    // in a layer above every kept-on-top window, whenever the focus is
    // elsewhere or on another monitor. Transient for the root window means
    // transient for the window group, which Qt makes of all the program's
    // windows: every picking window, however many. Qt writes
    // WM_TRANSIENT_FOR only for dialogs and the like, and clears it on every
    // show, so it is written here, after the show.
    xcb_window_t window = XCB_NONE;
    xcb_connection_t* connection = x11Window(owner, &window);
    if (!connection)
        return;
    if (above) {
        const xcb_window_t root = rootWindow(connection);
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_TRANSIENT_FOR,
                            XCB_ATOM_WINDOW, 32, 1, &root);
    } else {
        xcb_delete_property(connection, window, XCB_ATOM_WM_TRANSIENT_FOR);
    }
    xcb_flush(connection);
#else
    Q_UNUSED(owner);
    Q_UNUSED(above);
#endif
}

bool QtScreenGrabber::cornersKept()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

PickTraits QtScreenGrabber::traits() const
{
    // Where Qt scales windows itself, each screen keeps its physical corner
    // as its logical one: the logical desktop has holes and overlaps
    // between screens, and no one window can span them. Each screen then
    // gets a window of its own.
    PickTraits traits;
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (cornersKept() && screens.size() > 1)
        for (const QScreen* screen : screens)
            traits.windowPerScreen |= screen->devicePixelRatio() != 1.0;
    return traits;
}

void QtScreenGrabber::request(Done done)
{
    GrabResult result;
    result.shot = grab(&result.whyNot);
    done(std::move(result));
}

std::optional<DesktopShot> QtScreenGrabber::grab(QString* whyNot)
{
    DesktopLayout layout = DesktopLayout::current(cornersKept() ? DesktopLayout::Corners::Kept
                                                                : DesktopLayout::Corners::Scaled);
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
