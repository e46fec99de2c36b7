#pragma once

#include <QRect>

#include <optional>
#include <vector>

namespace tintaro {

// The loupe's sizes and its place beside the pointer, apart from any
// drawing: the magnified square, the text under it, and where both
// fit on the pointer's screen without covering what the user reads.
class LoupeGeometry
{
public:
    static constexpr int kMinZoom = 2;
    static constexpr int kMaxZoom = 32;
    static constexpr int kDefaultZoom = 8;
    // The magnified square's side and the height of the two text lines under
    // it, logical pixels, and its distance from the hot spot.
    static constexpr int kSide = 168;
    static constexpr int kTextHeight = 36;
    static constexpr int kGap = 20;
    // Below this side the loupe would show too little to be worth it.
    static constexpr int kMinSide = 24;

    // The next whole factor up or down, in steps that feel even (2, 3, 4, 6,
    // 8, 12, 16, 24, 32); held within the range.
    static int zoomIn(int zoom);
    static int zoomOut(int zoom);

    // How many image pixels fit across a square `sidePhysical` pixels wide
    // at `zoom`: odd, so that one lies in the middle; at least one.
    static int pixelsAcross(int sidePhysical, int zoom);

    // The loupe's whole rectangle (square and text line), logical: beside
    // `hotSpot`, below right where there is room, else below left, above
    // left or above right, inside `screen`, and clear of the hot spot's
    // surroundings and of every rectangle in `avoid`. Where no side has room
    // for the full size, the roomiest side takes a smaller square; nothing
    // where even that would be too small.
    static std::optional<QRect> place(QPoint hotSpot, const QRect& screen,
                                      const std::vector<QRect>& avoid);
};

} // namespace tintaro
