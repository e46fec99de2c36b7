#pragma once

class QWidget;

namespace tintaro {

// Places a dialog so that its frame is centred on its owner's frame, kept
// on the owner's screen. Qt's own placement guesses the frame size when no
// window manager runs, which puts the dialog tens of pixels off.
void centreOnOwner(QWidget* dialog, const QWidget* owner);

} // namespace tintaro
