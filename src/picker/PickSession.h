#pragma once

#include "ColorValue.h"
#include "PickWindow.h"
#include "ScreenGrabber.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

namespace tintaro {

// One picking session's windows, frmGetColor: the image is asked for when
// the session loads, and shown once it arrives, in one window over the
// whole desktop or in one full-screen window per screen, as the platform
// allows. Movements, picks and keys of every window reach the owner as one.
class PickSession : public QObject
{
    Q_OBJECT

public:
    // While the image is awaited past this, the main window is back, so
    // that a prompt from the desktop can be answered or the session stopped.
    static constexpr int kShowOwnerAfterMs = 1000;

    struct LoadSteps
    {
        ScreenGrabber* grabber = nullptr;
        int delaySeconds = 1;
        std::function<void()> hideMainWindow;
        // Shows the main window again: over the picking windows, or on its
        // own while the image is awaited or when there is none.
        std::function<void(bool overImage)> showMainWindow;
        std::function<void()> clearClipboard;
        // No main window (a pick for a script): the picking windows take the
        // focus and show the readout themselves, the loupe shows from the
        // start, and a right click stops instead of picking.
        bool ownerless = false;
    };

    PickSession();
    ~PickSession() override; // ends the session

    // Takes the image, with the owner's window hidden meanwhile. With no
    // image the session goes on over the plain back colour, unless the
    // mechanism has a reason worth telling: then failed() says it.
    void Form_Load(const LoadSteps& steps);

    // Withdraws the request for the image if it is still awaited, and
    // takes the windows off the screen.
    void end();
    bool isWaiting() const { return m_waiting; }
    // The desktop's own picker gives the colours, with no windows here.
    bool isColorsOnly() const { return m_colorsOnly; }
    const std::vector<std::unique_ptr<PickWindow>>& windows() const { return m_windows; }
    // The window that last had the pointer, or the first one.
    PickWindow* window() const;

    // Keys for precise work, from whichever window has the focus; Escape
    // stops even while the image is awaited.
    bool handleKey(int key, Qt::KeyboardModifiers modifiers);
    void hideSample();

Q_SIGNALS:
    // The image is still awaited when the main window comes back.
    void waiting();
    // No image: each colour comes from the desktop's picker; `notice` says so.
    void colorsOnly(const QString& notice);
    void shown();
    void failed(const QString& reason);
    void pointerMoved(ColorValue color);
    void picked();
    void stopRequested();

private:
    void imageArrived(GrabResult result);
    void askColor();
    void addWindow(const DesktopLayout& layout, QRect area, QImage image, QScreen* screen);

    LoadSteps m_steps;
    PickTraits m_traits;
    bool m_waiting = false;
    bool m_colorsOnly = false;
    QTimer m_showOwner;
    std::vector<std::unique_ptr<PickWindow>> m_windows;
    PickWindow* m_active = nullptr;
    std::shared_ptr<PickWindow::LoupeSettings> m_loupe =
        std::make_shared<PickWindow::LoupeSettings>();
};

} // namespace tintaro
