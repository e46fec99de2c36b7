#pragma once

#include "ColorValue.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

namespace tintaro {

// The ways CSS can write an opaque sRGB colour.
enum class CssForm
{
    Hex,
    ShortHex,
    Rgb,
    LegacyRgb,
    Hsl,
    Hwb,
    Lab,
    Lch,
    OkLab,
    OkLch,
    ColorSrgb,
    Name
};

// Short keys for the command line: "hex", "hex3", "rgb", "rgb-legacy", "hsl",
// "hwb", "lab", "lch", "oklab", "oklch", "srgb", "name". Read in either case.
QString cssFormKey(CssForm form);
std::optional<CssForm> cssFormFromKey(QStringView key);

// The colour in one form. Read back as CSS reads colours (converted to sRGB,
// each component rounded to 8 bits) it is exactly this colour again, and from
// a point inside sRGB rather than one that clipping brings back: a wide-gamut
// screen shows what it is told. Each form takes the fewest decimals that do
// so for this colour, the same number for each of its values (the hue in
// oklch() two fewer: at sRGB's chroma a degree moves a colour about 0.005),
// trailing zeros dropped. Lightness is a plain number, 0..100 in lab() and
// lch(), 0..1 in oklab() and oklch(). A hue is 0 where it means nothing:
// greys in hsl() and hwb(), a chroma written as 0 in lch() and oklch().
// ShortHex and Name give nothing where the colour has no such form.
std::optional<QString> cssText(ColorValue c, CssForm form);

struct CssFormText
{
    CssForm form;
    QString text;
};

// Every form the colour has, in the order of CssForm.
QList<CssFormText> cssTexts(ColorValue c);

// The colour that a form's three numbers stand for, in the units cssText
// writes them (0..255 for Rgb and LegacyRgb, percentages as their number,
// hues in degrees): converted to sRGB as CSS converts them, then each
// component rounded to 8 bits and held within 0..255. Only for the forms
// written with three numbers, Rgb to ColorSrgb.
ColorValue colorFromValues(CssForm form, double first, double second, double third);

} // namespace tintaro
