#pragma once

class QWidget;

namespace tintaro {

// Places a dialog so that its frame is centred on its owner's frame, kept
// on the owner's screen. Qt's own placement guesses the frame size when no
// window manager runs, which puts the dialog tens of pixels off.
void centreOnOwner(QWidget* dialog, const QWidget* owner);

// Places a window right of its owner, or left of it where the screen has no
// room on the right, so that both stay in view; kept on the owner's screen.
void placeBeside(QWidget* window, const QWidget* owner);

} // namespace tintaro
