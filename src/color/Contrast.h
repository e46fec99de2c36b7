#pragma once

#include "ColorValue.h"

namespace tintaro {

// WCAG 2.2's contrast minimums, as ratios.
constexpr double kAaNormal = 4.5;
constexpr double kAaLarge = 3.0;
constexpr double kAaaNormal = 7.0;
constexpr double kAaaLarge = 4.5;
// A link told from the text around it by colour alone.
constexpr double kLinkAgainstText = 3.0;

// WCAG 2.x relative luminance, 0 for black to 1 for white.
double relativeLuminance(ColorValue c);

// (lighter + 0.05) / (darker + 0.05): 1 for equal colours up to 21, in either order.
double contrastRatio(ColorValue a, ColorValue b);

// Two decimals, cut rather than rounded, so that what is shown never claims
// more contrast than there is: 4.499 reads "4.49", not "4.50".
QString ratioText(double ratio);

// Judged on the ratio itself, never on its rounded text.
constexpr bool passes(double ratio, double required)
{
    return ratio >= required;
}

} // namespace tintaro
