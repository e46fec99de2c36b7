#include "Topmost.h"

#include <QWidget>

namespace tintaro {

void MakeTopmost(QWidget* window)
{
    if (!window->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) {
        const bool wasVisible = window->isVisible();
        const QRect geometry = window->geometry();
        // Changing window flags recreates the native window, which hides it.
        window->setWindowFlag(Qt::WindowStaysOnTopHint, true);
        if (wasVisible) {
            window->setGeometry(geometry);
            window->show();
        }
    }
    window->raise();
}

} // namespace tintaro
