#include "FocusWatcher.h"

#include <QFocusEvent>
#include <QWidget>

namespace tintaro {

FocusWatcher::FocusWatcher(QWidget* watched) : QObject(watched)
{
    watched->installEventFilter(this);
}

bool FocusWatcher::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parent()) {
        if (event->type() == QEvent::FocusIn)
            Q_EMIT focusIn(static_cast<QFocusEvent*>(event)->reason());
        else if (event->type() == QEvent::FocusOut)
            Q_EMIT focusOut(static_cast<QFocusEvent*>(event)->reason());
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tintaro
