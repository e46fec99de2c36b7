#include "ColorVision.h"

#include "Contrast.h"
#include "Srgb.h"

namespace tintaro {
namespace {

// Machado, Oliveira & Fernandes (2009), severity 1.0, in the order of
// Deficiency; they act on linear sRGB.
constexpr double kMatrices[3][3][3] = {
    {{0.152286, 1.052583, -0.204868},
     {0.114503, 0.786281, 0.099216},
     {-0.003882, -0.048116, 1.051998}},
    {{0.367322, 0.860646, -0.227968},
     {0.280085, 0.672501, 0.047413},
     {-0.011820, 0.042940, 0.968881}},
    {{1.255528, -0.076749, -0.178779},
     {-0.078411, 0.930809, 0.147602},
     {0.004733, 0.691367, 0.303900}},
};

} // namespace

ColorValue simulate(ColorValue c, Deficiency d)
{
    if (d == Deficiency::Achromatopsia) {
        const double y = relativeLuminance(c);
        return fromLinear({y, y, y});
    }
    const auto& m = kMatrices[int(d)];
    const LinearRgb v = toLinear(c);
    return fromLinear({m[0][0] * v.r + m[0][1] * v.g + m[0][2] * v.b,
                       m[1][0] * v.r + m[1][1] * v.g + m[1][2] * v.b,
                       m[2][0] * v.r + m[2][1] * v.g + m[2][2] * v.b});
}

QString deficiencyName(Deficiency d)
{
    static const char* const names[] = {"protanopia", "deuteranopia", "tritanopia",
                                        "achromatopsia"};
    return QString::fromLatin1(names[int(d)]);
}

} // namespace tintaro
