#pragma once

#include "ColorValue.h"
#include "DesktopLayout.h"
#include "LoupeGeometry.h"
#include "MarkWindow.h"
#include "ScreenGrabber.h"

#include <QBackingStore>
#include <QImage>
#include <QRegion>
#include <QWindow>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class QScreen;

namespace tintaro {

class GlyphText;

// A picking window: a still image of the desktop (all of it, or the part
// on one screen) shown borderless over it, every image pixel over the
// screen pixel it came from, with a small colour sample floating beside
// the pen-shaped pointer.
//
// The image lives in the window's backing store alone once the store is
// its size: it is copied there once, so a session costs one image's worth
// of memory, not two. What is drawn over the image (the floating sample,
// and where the platform needs them the readout and the keyboard's
// cross-hair) goes into the store over a saved patch of the image, and the
// patch is put back when it moves on; or, where the compositor keeps
// reading the shown buffer, into small windows of its own above it.
class PickWindow : public QWindow
{
    Q_OBJECT

public:
    // The floating sample, 255 x 375 twips, and its place beside the pointer.
    static constexpr int kSampleWidth = 17;
    static constexpr int kSampleHeight = 25;
    static constexpr int kSampleDx = 3;
    static constexpr int kSampleDy = -34;
    // The readout drawn beside the pointer keeps this far from the hot spot.
    static constexpr int kReadoutGap = 16;

    // The loupe's state, shared by the windows of a session so that it
    // stays as it is from screen to screen. Hidden at first.
    struct LoupeSettings
    {
        bool shown = false;
        int zoom = LoupeGeometry::kDefaultZoom;
    };

    explicit PickWindow(PickTraits traits = {});
    ~PickWindow() override;

    // The window covers `area` (logical desktop coordinates) of a desktop
    // laid out as `layout`, and shows `image`: the desktop image's pixels
    // there. A null image shows the plain back colour instead.
    void setImage(const DesktopLayout& layout, QRect area, QImage image);

    // How the keys put the pointer on a physical pixel (desktop
    // coordinates); without one, or where it cannot, Qt moves it in whole
    // logical pixels.
    void setPointerMover(std::function<bool(QPoint)> mover) { m_movePointer = std::move(mover); }

    // Shows the window over its area: full screen on `screen` when there is
    // one, else borderless over the whole desktop.
    void showOver(QScreen* screen);

    // The colour of the desktop image's pixel at `pixel`, or -1 where this
    // window holds none.
    ColorValue GetPixel(QPoint pixel);

    // The pixel under a pointer at `global`, as the pointer's hot spot
    // lies over it.
    std::optional<QPoint> pixelUnder(QPointF global) const { return m_layout.imagePixel(global); }

    // What a pointer movement to `global` does here, and the pick.
    void Form_MouseMove(QPointF global);
    void Form_MouseUp();

    // Arrow keys move the pointer, or the cross-hair where the pointer may
    // not be moved, by one physical pixel (Shift: ten) within this window;
    // Return and Space pick, Escape stops. Z shows or hides the loupe, + and
    // - (or the wheel) change its magnification. False for any other key.
    bool handleKey(int key, Qt::KeyboardModifiers modifiers);

    void setLoupeSettings(std::shared_ptr<LoupeSettings> settings);
    // A right click stops the session rather than picking.
    void setRightButtonStops(bool stops) { m_rightButtonStops = stops; }
    const LoupeSettings& loupe() const { return *m_loupe; }
    // The loupe, logical in this window; empty when not shown.
    QRect loupeRect() const;
    // The loupe as it was last drawn, in physical pixels (for checking).
    QImage loupeImage() const;

    // Takes everything drawn over the image away.
    void hideSample();
    bool sampleVisible() const { return m_marks[Sample].visible; }
    QRect sampleRect() const { return m_marks[Sample].rect; } // logical, in this window
    QColor sampleColor() const { return m_sampleColor; }
    // The readout beside the pointer, logical in this window; empty when
    // not shown.
    QRect readoutRect() const;
    // The pixel the keyboard's cross-hair marks, when shown.
    std::optional<QPoint> crosshairPixel() const;

    const DesktopLayout& layout() const { return m_layout; }
    QRect area() const { return m_area; }
    QRect part() const { return m_part; } // the shown pixels, in image coordinates
    bool hasImage() const { return m_hasImage; }

Q_SIGNALS:
    // The pointer moved over the image; `color` is its pixel (black where
    // none could be read). The owner shows it everywhere.
    void pointerMoved(ColorValue color);
    void picked();
    void stopRequested();
    // The pointer came into this window of a window per screen, at `global`.
    void entered(QPointF global);

protected:
    bool event(QEvent* event) override;
    void exposeEvent(QExposeEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    enum MarkKind
    {
        Sample,
        Readout,
        Crosshair,
        Loupe,
        MarkCount
    };
    // Something drawn over the image, and the image under it.
    struct Mark
    {
        bool visible = false;
        QRect rect;                         // logical, in this window
        QImage under;                       // the store's pixels under it
        QPoint underAt;                     // where they go back, in physical store pixels
        std::unique_ptr<MarkWindow> window; // where marks are apart
    };

    void paintBackground();
    void repaintImage(QPaintDevice* device, const QRegion& region);
    void restoreUnderMarks(QImage& view, const QRegion& dirty);
    bool storeIsExact() const;
    void movePointerTo(QPoint pixel);
    // Puts the real pointer on `pixel` (image coordinates), in physical pixels
    // where the window system can, else in whole logical ones; where it went.
    QPointF warpPointer(QPoint pixel);
    void track(std::optional<QPoint> pixel, QPointF windowPos);
    ColorValue readPixel(const QImage& view, QPoint local) const;
    void drawMark(MarkKind kind, QPainter& painter, ColorValue color, QPoint crosshairAt) const;
    void moveMarksApart(const std::array<QRect, MarkCount>& next, ColorValue color,
                        QPoint crosshairAt);
    QImage shownImage();
    void commitMarkPlaces();
    QRect readoutPlace(QPointF windowPos) const;
    QRect loupePlace(QPointF windowPos, const std::array<QRect, MarkCount>& next) const;
    void takeLoupeSource(const QImage& view, QPoint local, std::optional<QPoint> pixel);
    void drawLoupe(QPainter& painter, ColorValue color) const;
    // Shows a change of the loupe at once, where the pointer is.
    void retrack();
    QRect physical(const QRect& logical) const;
    void present(const QRegion& region);

    PickTraits m_traits;
    QBackingStore m_store;
    DesktopLayout m_layout;
    QRect m_area;
    QRect m_part;
    QImage m_pending; // the image until the store holds it exactly
    bool m_hasImage = false;
    bool m_storeHoldsImage = false;

    std::array<Mark, MarkCount> m_marks;
    int m_readoutLine = 0; // the readout's text line and size, where it is drawn
    QSize m_readoutSize;
    QColor m_sampleColor;
    QRegion m_unflushed;       // painted into the store, not yet shown
    bool m_marksMoved = false; // windows of marks apart moved, not yet shown
    bool m_maskToggle = false;

    std::optional<QPoint> m_keyboardPixel; // where the keys last put the pointer
    std::optional<QPointF> m_warpedTo;     // the pointer move our own warp causes
    std::function<bool(QPoint)> m_movePointer;
    std::optional<QPointF> m_lastGlobal;

    std::shared_ptr<LoupeSettings> m_loupe;
    QImage m_loupeSource; // the image's pixels the loupe magnifies, unmagnified
    int m_loupeZoom = 0;  // the magnification it was taken for
    QPoint m_loupePixel;  // the middle one, in physical desktop coordinates
    bool m_rightButtonStops = false;
    // Kept from one drawing to the next: the magnified pixels' buffer and
    // the glyphs of the loupe's texts.
    mutable QImage m_loupeMagnified;
    mutable std::unique_ptr<GlyphText> m_glyphText;
};

} // namespace tintaro
