#pragma once

#include "ColorValue.h"
#include "DesktopShot.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QWindow;

namespace tintaro {

// What a session can count on from the window system it runs on.
struct PickTraits
{
    // One picking window per screen, each made full screen on its own
    // screen, rather than one borderless window over the whole desktop.
    bool windowPerScreen = false;
    // The main window stays visible above the picking windows; where it
    // cannot, the picking window shows the readout itself.
    bool keepsMainWindowOnTop = true;
    // The program may move the pointer; where it may not, the keys move a
    // cross-hair drawn on the image instead.
    bool movesPointer = true;
    // The compositor keeps reading the buffer it shows: what is drawn over
    // the image goes into small windows of its own, and the image's store
    // is painted once.
    bool marksApart = false;
};

// The answer to a request for a desktop image.
struct GrabResult
{
    std::optional<DesktopShot> shot;
    QString whyNot;        // when there is no image
    bool tellUser = false; // the reason is worth a message: the session ends
    // No image, but the desktop's own picker hands over one colour at a
    // time through requestColor(); whyNot says so in a line for the user.
    bool colorsOnly = false;
};

// The answer to a request for one colour from the desktop's own picker.
struct ColorResult
{
    std::optional<ColorValue> color;
    QString whyNot; // when there is no colour and the user did not cancel
};

// Takes a still image of the whole desktop, every screen included, with
// the pointer left out and the pixel values as the screen holds them.
// One implementation per window-system mechanism; tests hand in their own.
class ScreenGrabber
{
public:
    using Done = std::function<void(GrabResult)>;

    virtual ~ScreenGrabber() = default;

    // Asks for the image; `done` runs once with the answer, from the event
    // loop or before this returns, unless cancel() comes first. The window
    // system's own mechanism may take its time (a prompt to the user).
    virtual void request(Done done) = 0;
    // Asks the desktop's own picker for one colour, after an image request
    // answered colorsOnly; `done` runs once, as for request().
    using ColorDone = std::function<void(ColorResult)>;
    virtual void requestColor(ColorDone done) { done({}); }
    // Withdraws whichever request is outstanding.
    virtual void cancel() {}

    virtual PickTraits traits() const { return {}; }

    // Puts the pointer on `physical`, a pixel in physical desktop
    // coordinates, where the window system can place it that finely;
    // false: it cannot, and Qt places it in whole logical pixels instead.
    virtual bool movePointer(QPoint physical)
    {
        Q_UNUSED(physical);
        return false;
    }

    // The main window, hidden for the picture, is about to be shown again.
    // A window system that remembers how a window last left the screen
    // (minimised) is told to show it as an ordinary window.
    virtual void beforeOwnerShown(QWindow* owner) { Q_UNUSED(owner); }
    // Keeps the shown main window above the picking windows, where the
    // window system has a stronger tie between windows than the stay-on-top
    // hint; false unties it once they are gone.
    virtual void keepOwnerAbove(QWindow* owner, bool above)
    {
        Q_UNUSED(owner);
        Q_UNUSED(above);
    }

    // The mechanism for the platform the application runs on.
    static std::unique_ptr<ScreenGrabber> create();
};

} // namespace tintaro
