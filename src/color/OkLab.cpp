#include "OkLab.h"

#include "Srgb.h"

#include <cmath>

namespace tintaro {
namespace {

constexpr double kDegrees = 180.0 / 3.14159265358979323846;

} // namespace

// Ottosson's published matrices, through his LMS-like cone space.
LinearRgb toLinear(const OkLab& lab)
{
    const double l = lab.L + 0.3963377774 * lab.a + 0.2158037573 * lab.b;
    const double m = lab.L - 0.1055613458 * lab.a - 0.0638541728 * lab.b;
    const double s = lab.L - 0.0894841775 * lab.a - 1.2914855480 * lab.b;
    const double l3 = l * l * l, m3 = m * m * m, s3 = s * s * s;
    return {+4.0767416621 * l3 - 3.3077115913 * m3 + 0.2309699292 * s3,
            -1.2684380046 * l3 + 2.6097574011 * m3 - 0.3413193965 * s3,
            -0.0041960863 * l3 - 0.7034186147 * m3 + 1.7076147010 * s3};
}

OkLab toOkLab(ColorValue c)
{
    const LinearRgb rgb = toLinear(c);
    const double l = std::cbrt(0.4122214708 * rgb.r + 0.5363325363 * rgb.g + 0.0514459929 * rgb.b);
    const double m = std::cbrt(0.2119034982 * rgb.r + 0.6806995451 * rgb.g + 0.1073969566 * rgb.b);
    const double s = std::cbrt(0.0883024619 * rgb.r + 0.2817188376 * rgb.g + 0.6299787005 * rgb.b);
    return {0.2104542553 * l + 0.7936177850 * m - 0.0040720468 * s,
            1.9779984951 * l - 2.4285922050 * m + 0.4505937099 * s,
            0.0259040371 * l + 0.7827717662 * m - 0.8086757660 * s};
}

OkLch toOkLch(ColorValue c)
{
    return toOkLch(toOkLab(c));
}

OkLch toOkLch(const OkLab& lab)
{
    const double h = std::atan2(lab.b, lab.a) * kDegrees;
    return {lab.L, std::hypot(lab.a, lab.b), h < 0 ? h + 360.0 : h};
}

OkLab fromOkLch(const OkLch& lch)
{
    const double h = lch.h / kDegrees;
    return {lch.L, lch.C * std::cos(h), lch.C * std::sin(h)};
}

bool inGamut(const OkLab& lab)
{
    // The published matrices, to ten digits, are not quite each other's
    // inverse: 8-bit colours come back up to 1.3e-7 outside.
    constexpr double kSlack = 1e-6;
    const LinearRgb rgb = toLinear(lab);
    for (const double v : {rgb.r, rgb.g, rgb.b}) {
        if (v < -kSlack || v > 1.0 + kSlack)
            return false;
    }
    return true;
}

ColorValue toColor(const OkLab& lab)
{
    return fromLinear(toLinear(lab));
}

double deltaE(ColorValue a, ColorValue b)
{
    const OkLab p = toOkLab(a);
    const OkLab q = toOkLab(b);
    return std::sqrt((p.L - q.L) * (p.L - q.L) + (p.a - q.a) * (p.a - q.a) +
                     (p.b - q.b) * (p.b - q.b));
}

double maxChroma(double L, double h)
{
    if (L <= 0.0 || L >= 1.0)
        return 0.0;
    // No sRGB colour comes near 0.5 (the most is about 0.32). 24 halvings
    // leave well under an 8-bit step.
    double inside = 0.0, outside = 0.5;
    const double cosH = std::cos(h / kDegrees), sinH = std::sin(h / kDegrees);
    for (int i = 0; i < 24; ++i) {
        const double mid = (inside + outside) / 2;
        (inGamut({L, mid * cosH, mid * sinH}) ? inside : outside) = mid;
    }
    return inside;
}

} // namespace tintaro
