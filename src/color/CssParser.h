#pragma once

#include "ColorValue.h"

#include <QString>
#include <QStringView>

#include <optional>

namespace tintaro {

// A colour as CSS writes it: #RGB, #RRGGBB (and with an alpha digit or two),
// rgb(), rgba(), hsl(), hsla() with spaces or commas, hwb(), lab(), lch(),
// oklab(), oklch(), color(srgb ...), a name; letter case and blanks round it
// do not matter, "none" counts as 0. Values outside sRGB are held at its ends
// component by component. Only opaque colours are taken: an alpha must be 1
// (or more, which CSS holds at 1).
// Without a colour, why says what was wrong.
std::optional<ColorValue> parseCssColor(QStringView text, QString* why = nullptr);

} // namespace tintaro
