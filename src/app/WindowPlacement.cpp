#include "WindowPlacement.h"

#include <QScreen>
#include <QWidget>

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

void placeBeside(QWidget* window, const QWidget* owner)
{
    const QRect ownerFrame = owner->frameGeometry();
    const int width = frameSizeOf(window, owner).width();
    QPoint topLeft(ownerFrame.right() + 1, ownerFrame.top());
    if (const QScreen* screen = owner->screen();
        screen && topLeft.x() + width > screen->availableGeometry().right() + 1 &&
        ownerFrame.left() - width >= screen->availableGeometry().left())
        topLeft.setX(ownerFrame.left() - width);
    moveOnScreen(window, owner, topLeft);
}

} // namespace tintaro
