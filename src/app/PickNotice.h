#pragma once

#include <QLabel>

namespace tintaro {

// A line beside the main window about the picking session, where the window
// itself has no room for one: the desktop is being waited for, or it gives
// colours only through its own picker. It takes no focus and no clicks.
class PickNotice : public QLabel
{
    Q_OBJECT

public:
    explicit PickNotice(QWidget* owner);

    // Shows `text` just below the owner, or above it where the screen ends.
    void say(const QString& text);
};

} // namespace tintaro
