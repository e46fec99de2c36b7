#include "Contrast.h"

#include "Srgb.h"

#include <algorithm>
#include <cmath>

namespace tintaro {

double relativeLuminance(ColorValue c)
{
    const LinearRgb rgb = toLinear(c);
    return 0.2126 * rgb.r + 0.7152 * rgb.g + 0.0722 * rgb.b;
}

double contrastRatio(ColorValue a, ColorValue b)
{
    const double ya = relativeLuminance(a);
    const double yb = relativeLuminance(b);
    return (std::max(ya, yb) + 0.05) / (std::min(ya, yb) + 0.05);
}

QString ratioText(double ratio)
{
    // The allowance keeps a ratio that is exact in decimal, such as 4.5 or 1.15,
    // from losing a hundredth to binary error before it is cut.
    return QString::number(std::floor(ratio * 100.0 + 1e-9) / 100.0, 'f', 2);
}

} // namespace tintaro
