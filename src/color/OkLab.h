#pragma once

#include "ColorValue.h"
#include "Srgb.h"

namespace tintaro {

// Björn Ottosson's OKLab (2020): equal steps look about equally far apart,
// and lightness can change while hue holds still.
struct OkLab
{
    double L, a, b;
};

// OKLab in polar form; h in degrees, 0 <= h < 360.
struct OkLch
{
    double L, C, h;
};

OkLab toOkLab(ColorValue c);
OkLch toOkLch(ColorValue c);
OkLch toOkLch(const OkLab& lab);
OkLab fromOkLch(const OkLch& lch);

// Linear sRGB, unbounded: outside 0..1 where sRGB cannot show the colour.
LinearRgb toLinear(const OkLab& lab);

// Whether sRGB can show the colour, give or take rounding.
bool inGamut(const OkLab& lab);

// The nearest 8-bit colour; components outside sRGB are held at its ends.
ColorValue toColor(const OkLab& lab);

// Distance in OKLab: about 0.02 is a just noticeable difference.
double deltaE(ColorValue a, ColorValue b);

// The most chroma sRGB shows at this lightness and hue, going out from grey to
// the first edge (0 at black and white). At the hue of the blues from black to
// #0000FF the edge comes early: that hue's line leaves the gamut and only
// touches it again at those blues.
double maxChroma(double L, double h);

} // namespace tintaro
