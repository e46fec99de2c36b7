#pragma once

#include "ColorValue.h"
#include "Srgb.h"

namespace tintaro {

// CIE Lab as CSS's lab() means it: relative to a D50 white, reached from
// sRGB's D65 through the Bradford chromatic adaptation. L is 0..100.
struct CieLab
{
    double L, a, b;
};

// Lab in polar form; h in degrees, 0 <= h < 360.
struct CieLch
{
    double L, C, h;
};

CieLab toCieLab(ColorValue c);
CieLch toCieLch(const CieLab& lab);
CieLab fromCieLch(const CieLch& lch);

// Linear sRGB, unbounded: outside 0..1 where sRGB cannot show the colour.
LinearRgb toLinear(const CieLab& lab);

// The nearest 8-bit colour; components outside sRGB are held at its ends.
ColorValue toColor(const CieLab& lab);

} // namespace tintaro
