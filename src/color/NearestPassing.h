#pragma once

#include "ColorValue.h"

#include <optional>

namespace tintaro {

// The colour nearest to `color` whose contrast with `against` reaches
// `required`, changing only its OKLCH lightness: hue and chroma stay, except
// that chroma gives way where sRGB has too little of it. `color` itself when
// it passes already; nothing when no lightness, up or down, would pass.
std::optional<ColorValue> nearestPassing(ColorValue color, ColorValue against, double required);

} // namespace tintaro
