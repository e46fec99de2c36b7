#include "Srgb.h"

#include <array>
#include <cmath>

namespace tintaro {
namespace {

// Only 256 levels exist, and the contrast search asks for them thousands of times.
const std::array<double, 256>& linearLevels()
{
    static const std::array<double, 256> levels = [] {
        std::array<double, 256> table{};
        for (int n = 0; n < 256; ++n) {
            const double v = n / 255.0;
            table[n] = v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        }
        return table;
    }();
    return levels;
}

double encode(double linear)
{
    // Below zero stays linear and negative; colorFromUnit holds it (and NaN) at 0.
    return linear <= 0.0031308 ? linear * 12.92 : 1.055 * std::pow(linear, 1.0 / 2.4) - 0.055;
}

} // namespace

LinearRgb toLinear(ColorValue c)
{
    const auto& levels = linearLevels();
    return {levels[GetRed(c)], levels[GetGreen(c)], levels[GetBlue(c)]};
}

ColorValue fromLinear(const LinearRgb& rgb)
{
    return colorFromUnit(encode(rgb.r), encode(rgb.g), encode(rgb.b));
}

} // namespace tintaro
