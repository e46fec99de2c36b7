#include "ColorReadout.h"

namespace tintaro {

ColorReadout ColorReadout::of(ColorValue c)
{
    return ColorReadout{ColorToHtml(c),
                        DecimalTriple(c),
                        ThreeDigitDecimal(GetRed(c)),
                        RedHex(c),
                        ThreeDigitDecimal(GetGreen(c)),
                        GreenHex(c),
                        ThreeDigitDecimal(GetBlue(c)),
                        BlueHex(c)};
}

std::array<QString, 8> ColorReadout::inFillOrder() const
{
    return {txtrgb, txtrgb1, txtr, txtrh, txtg, txtgh, txtb, txtbh};
}

const std::array<const char*, 8>& ColorReadout::boxNames()
{
    static const std::array<const char*, 8> names = {"txtrgb", "txtrgb1", "txtr", "txtrh",
                                                     "txtg",   "txtgh",   "txtb", "txtbh"};
    return names;
}

} // namespace tintaro
