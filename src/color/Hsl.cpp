#include "Hsl.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace tintaro {
namespace {

struct Extremes
{
    int hi, lo;
};

Extremes extremes(ColorValue c)
{
    const int r = GetRed(c), g = GetGreen(c), b = GetBlue(c);
    return {std::max({r, g, b}), std::min({r, g, b})};
}

double hueOf(ColorValue c, Extremes e)
{
    const int r = GetRed(c), g = GetGreen(c), b = GetBlue(c);
    const double chroma = e.hi - e.lo;
    if (chroma == 0)
        return 0.0;
    if (e.hi == r)
        return g >= b ? 60.0 * (g - b) / chroma : 360.0 - 60.0 * (b - g) / chroma;
    if (e.hi == g)
        return 60.0 * ((b - r) / chroma + 2.0);
    return 60.0 * ((r - g) / chroma + 4.0);
}

double wrapped(double hue)
{
    // As every hue cssText tries: no fmod needed.
    if (hue >= 0 && hue < 360.0)
        return hue;
    const double h = std::fmod(hue, 360.0);
    return h < 0 ? h + 360.0 : h;
}

struct UnitRgb
{
    double r, g, b;
};

// Each component walks a trapezium round the hue circle.
UnitRgb fromHsl(double hue, double s, double l)
{
    const double h = wrapped(hue) / 30.0;
    const double a = std::max(s, 0.0) * std::min(l, 1.0 - l);
    const auto component = [=](double n) {
        // n + h < 24: one subtraction is fmod's exact answer.
        const double k = n + h < 12.0 ? n + h : n + h - 12.0;
        return l - a * std::max(-1.0, std::min({k - 3.0, 9.0 - k, 1.0}));
    };
    return {component(0), component(8), component(4)};
}

} // namespace

Hsl toHsl(ColorValue c)
{
    const Extremes e = extremes(c);
    const int sum = e.hi + e.lo;
    // For 8-bit components saturation is (hi - lo) / (1 - |2L - 1|) in whole levels.
    const double s = e.hi == e.lo ? 0.0 : (e.hi - e.lo) / (255.0 - std::abs(sum - 255));
    return {hueOf(c, e), s, sum / 510.0};
}

Hwb toHwb(ColorValue c)
{
    const Extremes e = extremes(c);
    return {hueOf(c, e), e.lo / 255.0, (255 - e.hi) / 255.0};
}

ColorValue toColor(const Hsl& hsl)
{
    const UnitRgb rgb = fromHsl(hsl.h, hsl.s, hsl.l);
    return colorFromUnit(rgb.r, rgb.g, rgb.b);
}

ColorValue toColor(const Hwb& hwb)
{
    if (hwb.w + hwb.b >= 1.0) {
        const double grey = hwb.w / (hwb.w + hwb.b);
        return colorFromUnit(grey, grey, grey);
    }
    const UnitRgb pure = fromHsl(hwb.h, 1.0, 0.5);
    const double span = 1.0 - hwb.w - hwb.b;
    return colorFromUnit(pure.r * span + hwb.w, pure.g * span + hwb.w, pure.b * span + hwb.w);
}

} // namespace tintaro
