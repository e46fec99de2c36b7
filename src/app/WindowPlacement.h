#pragma once

#include <QList>

class QWidget;

namespace tintaro {

// Places a dialog so that its frame is centred on its owner's frame, kept
// on the owner's screen. Qt's own placement guesses the frame size when no
// window manager runs, which puts the dialog tens of pixels off.
void centreOnOwner(QWidget* dialog, const QWidget* owner);

// Places a window right of its owner, or left of it, below or above it,
// wherever the screen first has room, so that all stay in view: clear of
// the owner and of the windows in `clearOf`, beside one of those where the
// owner has no room around it; kept on the owner's screen.
void placeBeside(QWidget* window, const QWidget* owner, const QList<const QWidget*>& clearOf = {});

} // namespace tintaro
