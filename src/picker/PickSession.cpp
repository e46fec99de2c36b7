#include "PickSession.h"

#include "Delay.h"
#include "PickWindow.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

#include <cstdio>

namespace tintaro {

PickSession::PickSession()
{
    m_showOwner.setSingleShot(true);
    m_showOwner.setInterval(kShowOwnerAfterMs);
    connect(&m_showOwner, &QTimer::timeout, this, [this] {
        if (m_steps.showMainWindow)
            m_steps.showMainWindow(false);
        Q_EMIT waiting();
    });
}

PickSession::~PickSession()
{
    end();
}

void PickSession::end()
{
    if ((m_waiting || m_colorsOnly) && m_steps.grabber)
        m_steps.grabber->cancel();
    m_waiting = false;
    m_colorsOnly = false;
    m_showOwner.stop();
    for (const auto& window : m_windows)
        window->hide();
}

void PickSession::Form_Load(const LoadSteps& steps)
{
    m_steps = steps;
    if (steps.hideMainWindow)
        steps.hideMainWindow();
    QCoreApplication::processEvents();
    if (steps.clearClipboard)
        steps.clearClipboard();
    QCoreApplication::processEvents();
    // Give the other windows time to repaint what the main window covered.
    Delay::wait(steps.delaySeconds);

    if (!steps.grabber) {
        imageArrived({std::nullopt, QStringLiteral("nothing to take it with"), false});
        return;
    }
    m_traits = steps.grabber->traits();
    if (steps.ownerless) {
        m_traits.keepsMainWindowOnTop = false;
        m_loupe->shown = true;
    }
    m_waiting = true;
    m_showOwner.start();
    steps.grabber->request([this](GrabResult result) { imageArrived(std::move(result)); });
}

void PickSession::imageArrived(GrabResult result)
{
    m_waiting = false;
    m_showOwner.stop();
    QCoreApplication::processEvents();
    if (m_steps.clearClipboard)
        m_steps.clearClipboard();
    QCoreApplication::processEvents();
    // Where the main window stays above the picture, it is shown after it,
    // over it; elsewhere before it, and the picture takes the focus.
    const bool ownerLast =
        m_traits.keepsMainWindowOnTop && (result.shot || !result.tellUser) && !result.colorsOnly;
    if (m_steps.showMainWindow && !ownerLast)
        m_steps.showMainWindow(false);
    if (!result.shot && result.tellUser) {
        Q_EMIT failed(result.whyNot);
        return;
    }
    if (result.colorsOnly) {
        m_colorsOnly = true;
        Q_EMIT colorsOnly(result.whyNot);
        askColor();
        return;
    }
    DesktopLayout layout;
    QImage image;
    if (result.shot) {
        layout = std::move(result.shot->layout);
        image = std::move(result.shot->image);
    } else {
        // The session goes on over the plain back colour.
        std::fprintf(stderr, "tintaro: no image of the screen: %s\n", qPrintable(result.whyNot));
        layout = DesktopLayout::current();
    }
    if (!m_traits.windowPerScreen) {
        addWindow(layout, layout.logicalBounds(), std::move(image), nullptr);
    } else {
        // Each screen's window holds its own part: the whole image is let go.
        const QList<QScreen*> screens = QGuiApplication::screens();
        for (const DesktopLayout::Screen& s : layout.screens()) {
            QScreen* screen = nullptr;
            for (QScreen* candidate : screens)
                if (candidate->geometry() == s.logical)
                    screen = candidate;
            addWindow(layout, s.logical,
                      image.isNull() ? QImage() : image.copy(layout.imageArea(s)), screen);
        }
        image = QImage();
    }
    if (m_steps.showMainWindow && ownerLast)
        m_steps.showMainWindow(true);
    Q_EMIT shown();
}

void PickSession::addWindow(const DesktopLayout& layout, QRect area, QImage image, QScreen* screen)
{
    auto window = std::make_unique<PickWindow>(m_traits);
    PickWindow* w = window.get();
    w->setImage(layout, area, std::move(image));
    w->setLoupeSettings(m_loupe);
    w->setRightButtonStops(m_steps.ownerless);
    if (ScreenGrabber* grabber = m_steps.grabber)
        w->setPointerMover([grabber](QPoint physical) { return grabber->movePointer(physical); });
    connect(w, &PickWindow::pointerMoved, this, [this, w](ColorValue color) {
        // The marks follow the pointer from screen to screen.
        if (m_active != w)
            for (const auto& other : m_windows)
                if (other.get() != w)
                    other->hideSample();
        m_active = w;
        Q_EMIT pointerMoved(color);
    });
    connect(w, &PickWindow::entered, this, [this, w](QPointF global) {
        // A pointer crossing from another screen may bring no movement yet:
        // where it enters is where it is. A window that merely appears
        // under a pointer that has not moved is no movement.
        if (m_active && m_active != w)
            w->Form_MouseMove(global);
    });
    connect(w, &PickWindow::picked, this, &PickSession::picked);
    connect(w, &PickWindow::stopRequested, this, &PickSession::stopRequested);
    m_windows.push_back(std::move(window));
    w->showOver(screen);
    if (m_steps.ownerless)
        w->requestActivate(); // the keys have no other way in
}

// Each colour from the desktop's picker counts as a click on it; the next
// is asked for at once, until the user stops or closes the picker.
void PickSession::askColor()
{
    m_steps.grabber->requestColor([this](ColorResult result) {
        if (result.color) {
            Q_EMIT pointerMoved(*result.color);
            Q_EMIT picked();
            if (m_colorsOnly)
                askColor();
        } else if (result.whyNot.isEmpty()) {
            Q_EMIT stopRequested();
        } else {
            Q_EMIT failed(result.whyNot);
        }
    });
}

PickWindow* PickSession::window() const
{
    if (m_active)
        return m_active;
    return m_windows.empty() ? nullptr : m_windows.front().get();
}

bool PickSession::handleKey(int key, Qt::KeyboardModifiers modifiers)
{
    if (key == Qt::Key_Escape) {
        Q_EMIT stopRequested();
        return true;
    }
    PickWindow* w = window();
    return w && w->handleKey(key, modifiers);
}

void PickSession::hideSample()
{
    for (const auto& w : m_windows)
        w->hideSample();
}

} // namespace tintaro
