#pragma once

#include "ColorValue.h"

namespace tintaro {

// Light adds up in linear values, not in the stored levels: luminance, OKLab
// and the vision simulation all work on these.
struct LinearRgb
{
    double r, g, b;
};

// sRGB's transfer curve, with the 0.04045 threshold.
LinearRgb toLinear(ColorValue c);

// Back through the curve to 8 bits: each component rounded, held within 0..255.
ColorValue fromLinear(const LinearRgb& rgb);

// Whether each component rounds to c's with nothing held: within half a level
// of it, also at 0 and 255. Cheaper than comparing fromLinear's answer.
bool roundsTo(const LinearRgb& rgb, ColorValue c);

} // namespace tintaro
