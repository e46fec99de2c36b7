#pragma once

#include "ColorValue.h"

namespace tintaro {

enum class Deficiency
{
    Protanopia,
    Deuteranopia,
    Tritanopia,
    Achromatopsia
};

// How the colour looks with the deficiency at full strength: Machado, Oliveira
// and Fernandes (2009) for the three dichromacies, luminance alone for
// achromatopsia.
ColorValue simulate(ColorValue c, Deficiency d);

// The lower-case English name: "protanopia" and so on.
QString deficiencyName(Deficiency d);

} // namespace tintaro
