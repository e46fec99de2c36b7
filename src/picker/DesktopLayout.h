#pragma once

#include <QPoint>
#include <QPointF>
#include <QRect>

#include <optional>
#include <vector>

class QScreen;

namespace tintaro {

// Where each screen of the virtual desktop lies, in Qt's logical
// coordinates and in the physical pixels of a desktop image, so that a
// pointer position can be turned into the exact image pixel under it.
class DesktopLayout
{
public:
    struct Screen
    {
        QRect logical;          // the screen in logical desktop coordinates
        qreal ratio = 1.0;      // physical pixels per logical pixel
        QPoint physicalTopLeft; // its corner in physical desktop coordinates
    };

    DesktopLayout() = default;
    explicit DesktopLayout(std::vector<Screen> screens);

    // Where a screen's physical corner lies: its logical corner scaled by
    // the screen's ratio, as window systems that scale for the program lay
    // out screens sharing one factor; or its logical corner as it is, as Qt
    // places screens where it scales windows itself (X11), so that only
    // their sizes scale.
    enum class Corners
    {
        Scaled,
        Kept
    };
    // The screens Qt knows.
    static DesktopLayout current(Corners corners = Corners::Scaled);

    // The same screens in an image of `imageSize` that holds the whole
    // desktop at one scale throughout, as a compositor composes its screens
    // into one picture: every screen's ratio is the image's width over the
    // desktop's. Nothing when the image is not the desktop at one scale.
    std::optional<DesktopLayout> fittedTo(QSize imageSize) const;

    const std::vector<Screen>& screens() const { return m_screens; }
    bool isEmpty() const { return m_screens.empty(); }

    // The whole desktop: logical bounds, and physical bounds (the size of
    // the desktop image; its top left may be negative).
    QRect logicalBounds() const;
    QRect physicalBounds() const;
    // Where a screen's pixels lie in the desktop image.
    QRect imageArea(const Screen& screen) const;
    // The ratio of the screen holding the desktop's top left corner.
    qreal ratio() const;

    // The pixel of the desktop image under a pointer at `global` (logical
    // desktop coordinates, fractions kept): scaled by the ratio of the
    // screen it lies on, rounded to nearest with halves to even, taken
    // from the image's top left. Nothing when no screen holds the point.
    std::optional<QPoint> imagePixel(QPointF global) const;

    // The logical point whose physical pixel is `pixel` (image coordinates).
    QPointF logicalPoint(QPoint pixel) const;
    // Whether a screen shows `pixel` (image coordinates), not a gap between screens.
    bool holdsPixel(QPoint pixel) const;

private:
    const Screen* screenAt(QPointF global) const;

    std::vector<Screen> m_screens;
};

} // namespace tintaro
