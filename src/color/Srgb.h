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

} // namespace tintaro
