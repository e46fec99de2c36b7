#include "DesktopLayout.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace tintaro {
namespace {

// Halves go to the even neighbour, as the pixel reads have always rounded.
int roundHalfEven(qreal value)
{
    return int(std::nearbyint(value));
}

QRect physicalArea(const DesktopLayout::Screen& s)
{
    return QRect(s.physicalTopLeft,
                 QSize(qRound(s.logical.width() * s.ratio), qRound(s.logical.height() * s.ratio)));
}

} // namespace

DesktopLayout::DesktopLayout(std::vector<Screen> screens) : m_screens(std::move(screens)) {}

DesktopLayout DesktopLayout::current(Corners corners)
{
    std::vector<Screen> screens;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect logical = screen->geometry();
        const qreal ratio = corners == Corners::Kept ? 1.0 : screen->devicePixelRatio();
        screens.push_back({logical, screen->devicePixelRatio(),
                           QPoint(qRound(logical.x() * ratio), qRound(logical.y() * ratio))});
    }
    return DesktopLayout(std::move(screens));
}

std::optional<DesktopLayout> DesktopLayout::fittedTo(QSize imageSize) const
{
    const QRect bounds = logicalBounds();
    if (bounds.isEmpty() || imageSize.isEmpty())
        return std::nullopt;
    const qreal ratio = qreal(imageSize.width()) / bounds.width();
    std::vector<Screen> screens;
    for (const Screen& s : m_screens)
        screens.push_back({s.logical, ratio,
                           QPoint(qRound(s.logical.x() * ratio), qRound(s.logical.y() * ratio))});
    DesktopLayout fitted(std::move(screens));
    if (fitted.physicalBounds().size() != imageSize)
        return std::nullopt;
    return fitted;
}

QRect DesktopLayout::logicalBounds() const
{
    QRect bounds;
    for (const Screen& s : m_screens)
        bounds |= s.logical;
    return bounds;
}

QRect DesktopLayout::physicalBounds() const
{
    QRect bounds;
    for (const Screen& s : m_screens)
        bounds |= physicalArea(s);
    return bounds;
}

QRect DesktopLayout::imageArea(const Screen& s) const
{
    return physicalArea(s).translated(-physicalBounds().topLeft());
}

qreal DesktopLayout::ratio() const
{
    const QPoint corner = logicalBounds().topLeft();
    for (const Screen& s : m_screens)
        if (s.logical.contains(corner))
            return s.ratio;
    return m_screens.empty() ? 1.0 : m_screens.front().ratio;
}

bool DesktopLayout::holdsPixel(QPoint pixel) const
{
    for (const Screen& s : m_screens)
        if (imageArea(s).contains(pixel))
            return true;
    return false;
}

const DesktopLayout::Screen* DesktopLayout::screenAt(QPointF global) const
{
    for (const Screen& s : m_screens) {
        const QRectF area(s.logical);
        if (global.x() >= area.left() && global.x() < area.right() && global.y() >= area.top() &&
            global.y() < area.bottom())
            return &s;
    }
    return nullptr;
}

std::optional<QPoint> DesktopLayout::imagePixel(QPointF global) const
{
    const Screen* s = screenAt(global);
    if (!s)
        return std::nullopt;
    const QPoint origin = physicalBounds().topLeft();
    const qreal x = s->physicalTopLeft.x() + (global.x() - s->logical.x()) * s->ratio;
    const qreal y = s->physicalTopLeft.y() + (global.y() - s->logical.y()) * s->ratio;
    return QPoint(roundHalfEven(x) - origin.x(), roundHalfEven(y) - origin.y());
}

QPointF DesktopLayout::logicalPoint(QPoint pixel) const
{
    const QPoint physical = pixel + physicalBounds().topLeft();
    for (const Screen& s : m_screens) {
        if (physicalArea(s).contains(physical))
            return QPointF(s.logical.x() + (physical.x() - s.physicalTopLeft.x()) / s.ratio,
                           s.logical.y() + (physical.y() - s.physicalTopLeft.y()) / s.ratio);
    }
    return QPointF(physical) / ratio();
}

} // namespace tintaro
