#include "LoupeGeometry.h"

#include <algorithm>
#include <array>

namespace tintaro {
namespace {

constexpr std::array<int, 9> kZooms = {2, 3, 4, 6, 8, 12, 16, 24, 32};

// The loupe of square side `side` in the corner of the hot spot given by
// `dx` and `dy` (+1 right or below, -1 left or above), `gap` away from it.
QRect corner(QPoint hotSpot, int side, int dx, int dy, int gap)
{
    const QSize size(side, side + LoupeGeometry::kTextHeight);
    const int left = dx > 0 ? hotSpot.x() + gap : hotSpot.x() - gap - size.width() + 1;
    const int top = dy > 0 ? hotSpot.y() + gap : hotSpot.y() - gap - size.height() + 1;
    return QRect(QPoint(left, top), size);
}

// The largest square side that fits in that corner of `screen`.
int roomIn(QPoint hotSpot, const QRect& screen, int dx, int dy, int gap)
{
    const int wide =
        dx > 0 ? screen.right() - hotSpot.x() - gap + 1 : hotSpot.x() - gap - screen.left() + 1;
    const int high =
        dy > 0 ? screen.bottom() - hotSpot.y() - gap + 1 : hotSpot.y() - gap - screen.top() + 1;
    return std::min(wide, high - LoupeGeometry::kTextHeight);
}

} // namespace

int LoupeGeometry::zoomIn(int zoom)
{
    const auto next = std::upper_bound(kZooms.begin(), kZooms.end(), zoom);
    return next == kZooms.end() ? kMaxZoom : *next;
}

int LoupeGeometry::zoomOut(int zoom)
{
    const auto at = std::lower_bound(kZooms.begin(), kZooms.end(), zoom);
    return at == kZooms.begin() ? kMinZoom : *(at - 1);
}

int LoupeGeometry::pixelsAcross(int sidePhysical, int zoom)
{
    const int across = std::max(1, sidePhysical / std::max(1, zoom));
    return across % 2 == 1 ? across : across - 1;
}

std::optional<QRect> LoupeGeometry::place(QPoint hotSpot, const QRect& screen,
                                          const std::vector<QRect>& avoid)
{
    // Below right first, as a tool tip; the floating sample is above right.
    const std::array<QPoint, 4> corners = {QPoint(1, 1), QPoint(-1, 1), QPoint(-1, -1),
                                           QPoint(1, -1)};
    const auto clear = [&](const QRect& r) {
        return screen.contains(r) && std::none_of(avoid.begin(), avoid.end(),
                                                  [&r](const QRect& a) { return a.intersects(r); });
    };
    // The full size where a side has room for it, next to the hot spot or
    // past what lies there; else the roomiest side that is clear, with a
    // smaller square.
    for (const int gap : {kGap, kGap + kSide / 2})
        for (const QPoint c : corners) {
            const QRect full = corner(hotSpot, kSide, c.x(), c.y(), gap);
            if (clear(full))
                return full;
        }
    std::optional<QRect> best;
    for (const QPoint c : corners) {
        const int side = std::min(roomIn(hotSpot, screen, c.x(), c.y(), kGap), kSide);
        if (side < kMinSide || (best && best->width() >= side))
            continue;
        const QRect smaller = corner(hotSpot, side, c.x(), c.y(), kGap);
        if (clear(smaller))
            best = smaller;
    }
    return best;
}

} // namespace tintaro
