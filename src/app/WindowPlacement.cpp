#include "WindowPlacement.h"

#include <QScreen>
#include <QWidget>

namespace tintaro {

void centreOnOwner(QWidget* dialog, const QWidget* owner)
{
    const QRect ownerFrame = owner->frameGeometry();
    const QRect ownerClient = owner->geometry();
    // The dialog gets the same decorations as its owner, or none at all.
    const QSize frameExtra = ownerFrame.size() - ownerClient.size();
    const QSize dialogFrame = dialog->size() + frameExtra;
    QPoint topLeft = ownerFrame.center() - QPoint(dialogFrame.width() / 2, dialogFrame.height() / 2);
    if (const QScreen* screen = owner->screen()) {
        const QRect area = screen->availableGeometry();
        topLeft.setX(qBound(area.left(), topLeft.x(), qMax(area.left(), area.right() + 1 - dialogFrame.width())));
        topLeft.setY(qBound(area.top(), topLeft.y(), qMax(area.top(), area.bottom() + 1 - dialogFrame.height())));
    }
    dialog->move(topLeft);
}

} // namespace tintaro
