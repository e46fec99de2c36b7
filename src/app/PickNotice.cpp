#include "PickNotice.h"

#include <QScreen>

namespace tintaro {

PickNotice::PickNotice(QWidget* owner)
    : QLabel(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
{
    setObjectName(QStringLiteral("lblnotice"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setForegroundRole(QPalette::ToolTipText);
    setBackgroundRole(QPalette::ToolTipBase);
    setAutoFillBackground(true);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setMargin(4);
    setWordWrap(true); // as wide as the main window, a second line if need be
}

void PickNotice::say(const QString& text)
{
    const QWidget* owner = parentWidget();
    const QRect frame = owner->frameGeometry();
    setText(text);
    setFixedWidth(frame.width());
    setFixedHeight(heightForWidth(frame.width()));
    QPoint at(frame.left(), frame.bottom() + 1);
    if (const QScreen* screen = owner->screen()) {
        const QRect room = screen->availableGeometry();
        if (at.y() + height() > room.bottom() + 1)
            at.setY(frame.top() - height());
        // On a screen too small for both, over the window rather than off the screen.
        at.setY(qBound(room.top(), at.y(), qMax(room.top(), room.bottom() + 1 - height())));
        at.setX(qBound(room.left(), at.x(), qMax(room.left(), room.right() + 1 - width())));
    }
    move(at);
    show();
}

} // namespace tintaro
