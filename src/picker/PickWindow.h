#pragma once

#include "ColorValue.h"
#include "DesktopLayout.h"

#include <QBackingStore>
#include <QImage>
#include <QRegion>
#include <QWindow>

#include <functional>
#include <optional>

namespace tintaro {

class ScreenGrabber;

// The picking window: a still image of the whole desktop shown borderless
// over it, every image pixel exactly over the screen pixel it came from,
// with a small colour sample floating beside the pen-shaped pointer.
//
// The image lives in the window's backing store alone: it is copied there
// once, so a session costs one image's worth of memory, not two. The
// floating sample is drawn into the store over a saved patch of the image
// and the patch is put back when the sample moves on.
class PickWindow : public QWindow
{
    Q_OBJECT

public:
    // The floating sample, 255 x 375 twips, and its place beside the pointer.
    static constexpr int kSampleWidth = 17;
    static constexpr int kSampleHeight = 25;
    static constexpr int kSampleDx = 3;
    static constexpr int kSampleDy = -34;

    struct LoadSteps
    {
        ScreenGrabber* grabber = nullptr;
        int delaySeconds = 1;
        std::function<void()> hideMainWindow;
        std::function<void()> showMainWindow;
        std::function<void()> clearClipboard;
    };

    PickWindow();
    ~PickWindow() override;

    // Takes the image, with the owner's window hidden meanwhile; returns
    // false (and says why on standard error) when no image could be had,
    // in which case the window shows its plain back colour.
    bool Form_Load(const LoadSteps& steps);

    // Shows the window over the whole desktop.
    void showOverDesktop();

    // The colour of the image pixel at `pixel` (image coordinates), or -1
    // where there is none.
    ColorValue GetPixel(QPoint pixel);

    // The pixel under a pointer at `global`, as the pointer's hot spot
    // lies over it.
    std::optional<QPoint> pixelUnder(QPointF global) const { return m_layout.imagePixel(global); }

    // What a pointer movement to `global` does here, and the pick.
    void Form_MouseMove(QPointF global);
    void Form_MouseUp();

    // Arrow keys move the pointer by one physical pixel (Shift: ten),
    // Return and Space pick, Escape stops. False for any other key.
    bool handleKey(int key, Qt::KeyboardModifiers modifiers);

    void hideSample();
    bool sampleVisible() const { return m_sampleVisible; }
    QRect sampleRect() const { return m_sampleRect; } // logical, in this window
    QColor sampleColor() const { return m_sampleColor; }
    const DesktopLayout& layout() const { return m_layout; }
    bool hasImage() const { return m_hasImage; }

Q_SIGNALS:
    // The pointer moved over the image; `color` is its pixel (black where
    // none could be read). The owner shows it everywhere.
    void pointerMoved(ColorValue color);
    void picked();
    void stopRequested();

protected:
    bool event(QEvent* event) override;
    void exposeEvent(QExposeEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QImage* storeImage();
    void paintBackground();
    void movePointerTo(QPoint pixel);
    void track(std::optional<QPoint> pixel, QPointF windowPos);
    QRect physical(const QRect& logical) const;
    void present(const QRegion& region);

    QBackingStore m_store;
    DesktopLayout m_layout;
    QImage m_pending; // the image until it is in the backing store
    bool m_hasImage = false;
    bool m_storeHoldsImage = false;

    bool m_sampleVisible = false;
    QRect m_sampleRect;
    QColor m_sampleColor;
    QImage m_underSample; // the image under the sample, to put back
    QPoint m_underSampleAt; // where it goes, in physical pixels

    QRegion m_unflushed; // painted into the store, not yet shown

    std::optional<QPoint> m_keyboardPixel; // where the keys last put the pointer
    std::optional<QPointF> m_warpedTo;     // the pointer move our own warp causes
    std::optional<QPointF> m_lastGlobal;
};

} // namespace tintaro
