#include "QtScreenGrabber.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>

#include <cstring>

namespace tintaro {

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
