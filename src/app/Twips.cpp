#include "Twips.h"

#include <cmath>

namespace tintaro::Twips {

int toPixels(int twips) { return int(std::lround(double(twips) / kPerPixel)); }

QRect rect(int left, int top, int width, int height)
{
    const int x = toPixels(left);
    const int y = toPixels(top);
    return QRect(x, y, toPixels(left + width) - x, toPixels(top + height) - y);
}

QSize size(int width, int height) { return QSize(toPixels(width), toPixels(height)); }

} // namespace tintaro::Twips
