#pragma once

#include <QRect>
#include <QSize>

namespace tintaro {

// Window geometry is laid out in twips, 15 to a logical pixel (96 DPI); Qt
// scales logical pixels for high-density screens.
namespace Twips {

constexpr int kPerPixel = 15;

// Rounds to the nearest pixel, halves away from zero.
int toPixels(int twips);

// Edges are rounded, not sizes, so that controls that touch or overlap by a
// twip keep doing so after conversion.
QRect rect(int left, int top, int width, int height);
QSize size(int width, int height);

} // namespace Twips
} // namespace tintaro
