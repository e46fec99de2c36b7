#pragma once

#include "ColorValue.h"

namespace tintaro {

// sRGB's own cylinders, as CSS's hsl() and hwb() read them. Hue in degrees,
// the rest 0..1; the hue of a grey is 0.
struct Hsl
{
    double h, s, l;
};

struct Hwb
{
    double h, w, b;
};

Hsl toHsl(ColorValue c);
Hwb toHwb(ColorValue c);

// Any hue is taken round the circle; a saturation below 0 counts as 0, and
// whiteness and blackness adding up past 1 make a grey of their proportion.
// Each component is then rounded to 8 bits and held within 0..255.
ColorValue toColor(const Hsl& hsl);
ColorValue toColor(const Hwb& hwb);

} // namespace tintaro
