#include "WindowPlacement.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace tintaro {
namespace {

// The window's frame size: it gets the same decorations as its owner, or
// none at all.
QSize frameSizeOf(const QWidget* window, const QWidget* owner)
{
    return window->size() + owner->frameGeometry().size() - owner->geometry().size();
}

// Moves the window's frame to `topLeft`, kept on the owner's screen.
void moveOnScreen(QWidget* window, const QWidget* owner, QPoint topLeft)
{
    const QSize frame = frameSizeOf(window, owner);
    if (const QScreen* screen = owner->screen()) {
        const QRect area = screen->availableGeometry();
        topLeft.setX(
            qBound(area.left(), topLeft.x(), qMax(area.left(), area.right() + 1 - frame.width())));
        topLeft.setY(
            qBound(area.top(), topLeft.y(), qMax(area.top(), area.bottom() + 1 - frame.height())));
    }
    window->move(topLeft);
}

} // namespace

void centreOnOwner(QWidget* dialog, const QWidget* owner)
{
    const QSize frame = frameSizeOf(dialog, owner);
    moveOnScreen(dialog, owner,
                 owner->frameGeometry().center() - QPoint(frame.width() / 2, frame.height() / 2));
}

void placeBeside(QWidget* window, const QWidget* owner, const QList<const QWidget*>& clearOf)
{
    const QSize size = frameSizeOf(window, owner);
    QList<QRect> taken{owner->frameGeometry()};
    for (const QWidget* other : clearOf)
        taken << other->frameGeometry();
    // Right of the owner, else left, below or above it, else the same beside
    // the other windows: the first place the screen has room for that covers
    // none of them; else right of the owner, kept on the screen.
    QPoint topLeft(taken.constFirst().right() + 1, taken.constFirst().top());
    if (const QScreen* screen = owner->screen()) {
        const QRect room = screen->availableGeometry();
        const auto fits = [&](const QRect& r) {
            return room.contains(r) &&
                   std::none_of(taken.begin(), taken.end(),
                                [&r](const QRect& t) { return t.intersects(r); });
        };
        for (const QRect& next : taken) {
            const QPoint places[] = {{next.right() + 1, next.top()},
                                     {next.left() - size.width(), next.top()},
                                     {next.left(), next.bottom() + 1},
                                     {next.left(), next.top() - size.height()}};
            const auto found = std::find_if(std::begin(places), std::end(places),
                                            [&](QPoint p) { return fits(QRect(p, size)); });
            if (found != std::end(places)) {
                topLeft = *found;
                break;
            }
        }
    }
    moveOnScreen(window, owner, topLeft);
}

} // namespace tintaro
