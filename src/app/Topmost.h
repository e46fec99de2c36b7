#pragma once

class QWidget;

namespace tintaro {

// Keeps a window above every window that is not itself kept on top, with or
// without a window manager: the stay-on-top hint for managers that honour it,
// and a raise for the rest. Place and size are kept.
void MakeTopmost(QWidget* window);

} // namespace tintaro
