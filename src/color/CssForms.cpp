#include "CssForms.h"

#include "CieLab.h"
#include "CssNames.h"
#include "Hsl.h"
#include "OkLab.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tintaro {
namespace {

constexpr const char* kKeys[] = {"hex", "hex3", "rgb",   "rgb-legacy", "hsl",  "hwb",
                                 "lab", "lch",  "oklab", "oklch",      "srgb", "name"};
constexpr int kFormCount = int(std::size(kKeys));

// Far more than any 8-bit colour needs (the most is 5): only a fault would get there.
constexpr int kMostDecimals = 12;
constexpr double kPowers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12};

// How a form writes its three numbers.
struct Layout
{
    const char* open;
    const char* separator;
    std::array<const char*, 3> units;
    std::array<int, 3> decimalsOffset;
    int hue;    // the value that is a hue, or -1
    int chroma; // the value whose 0 leaves the hue meaningless, or -1
};

// For the forms written with three numbers, Rgb to ColorSrgb in CssForm's order.
constexpr Layout kLayouts[] = {
    {"rgb(", " ", {"", "", ""}, {0, 0, 0}, -1, -1},
    {"rgb(", ", ", {"", "", ""}, {0, 0, 0}, -1, -1},
    {"hsl(", " ", {"", "%", "%"}, {0, 0, 0}, 0, -1},
    {"hwb(", " ", {"", "%", "%"}, {0, 0, 0}, 0, -1},
    {"lab(", " ", {"", "", ""}, {0, 0, 0}, -1, -1},
    {"lch(", " ", {"", "", ""}, {0, 0, 0}, 2, 1},
    {"oklab(", " ", {"", "", ""}, {0, 0, 0}, -1, -1},
    {"oklch(", " ", {"", "", ""}, {0, 0, -2}, 2, 1},
    {"color(srgb ", " ", {"", "", ""}, {0, 0, 0}, -1, -1},
};

const Layout& layoutOf(CssForm form)
{
    return kLayouts[int(form) - int(CssForm::Rgb)];
}

using Values = std::array<double, 3>;

// The colour's own values, unrounded, in the units the form writes.
Values exactValues(CssForm form, const CieLab& lab)
{
    if (form == CssForm::Lab)
        return {lab.L, lab.a, lab.b};
    const CieLch lch = toCieLch(lab);
    return {lch.L, lch.C, lch.h};
}

Values exactValues(CssForm form, const OkLab& lab)
{
    if (form == CssForm::OkLab)
        return {lab.L, lab.a, lab.b};
    const OkLch lch = toOkLch(lab);
    return {lch.L, lch.C, lch.h};
}

Values exactValues(CssForm form, ColorValue c)
{
    switch (form) {
    case CssForm::Hsl: {
        const Hsl hsl = toHsl(c);
        return {hsl.h, hsl.s * 100.0, hsl.l * 100.0};
    }
    case CssForm::Hwb: {
        const Hwb hwb = toHwb(c);
        return {hwb.h, hwb.w * 100.0, hwb.b * 100.0};
    }
    case CssForm::ColorSrgb:
        return {GetRed(c) / 255.0, GetGreen(c) / 255.0, GetBlue(c) / 255.0};
    default:
        return {double(GetRed(c)), double(GetGreen(c)), double(GetBlue(c))};
    }
}

bool throughLinearLight(CssForm form)
{
    return form == CssForm::Lab || form == CssForm::Lch || form == CssForm::OkLab ||
           form == CssForm::OkLch;
}

// CSS holds lightness within its range and chroma at 0 or more as it reads
// them, before converting.
LinearRgb linearFromValues(CssForm form, const Values& v)
{
    switch (form) {
    case CssForm::Lab:
        return toLinear(CieLab{std::clamp(v[0], 0.0, 100.0), v[1], v[2]});
    case CssForm::Lch:
        return toLinear(fromCieLch({std::clamp(v[0], 0.0, 100.0), std::max(v[1], 0.0), v[2]}));
    case CssForm::OkLab:
        return toLinear(OkLab{std::clamp(v[0], 0.0, 1.0), v[1], v[2]});
    default:
        return toLinear(fromOkLch({std::clamp(v[0], 0.0, 1.0), std::max(v[1], 0.0), v[2]}));
    }
}

// A text must also stand for a colour inside sRGB, not merely one that
// clipping brings back: a wide-gamut screen would show it as it is.
bool roundTrips(CssForm form, const Values& v, ColorValue c)
{
    if (throughLinearLight(form))
        return roundsTo(linearFromValues(form, v), c);
    return colorFromValues(form, v[0], v[1], v[2]) == c;
}

// A value as an integer count of its last decimal place.
struct Rounded
{
    std::array<long long, 3> count;
    std::array<int, 3> decimals;
};

Rounded roundedTo(int decimals, const Values& exact, const Layout& layout)
{
    Rounded r{};
    for (int i = 0; i < 3; ++i) {
        r.decimals[i] = std::max(0, decimals + layout.decimalsOffset[i]);
        const double scaled = exact[i] * kPowers[r.decimals[i]];
        // Nearest, halves away from 0, without std::llround's library call.
        r.count[i] = (long long)(scaled < 0 ? scaled - 0.5 : scaled + 0.5);
    }
    if (layout.hue >= 0) {
        long long& hue = r.count[layout.hue];
        const auto turn = 360 * (long long)kPowers[r.decimals[layout.hue]];
        if (hue >= turn)
            hue -= turn;
        if (layout.chroma >= 0 && r.count[layout.chroma] == 0)
            hue = 0;
    }
    return r;
}

// The value each count stands for: the same double that reading its
// decimal text gives, both being the correctly rounded quotient.
Values valuesOf(const Rounded& r)
{
    return {r.count[0] / kPowers[r.decimals[0]], r.count[1] / kPowers[r.decimals[1]],
            r.count[2] / kPowers[r.decimals[2]]};
}

// Written as UTF-16 straight away: a QString made from it is a copy, not a conversion.
using Out = char16_t*;

Out put(Out out, const char* text)
{
    while (*text)
        *out++ = char16_t(*text++);
    return out;
}

Out putNumber(Out out, long long count, int decimals)
{
    if (count < 0) {
        *out++ = u'-';
        count = -count;
    }
    // Digits from the last, a leading 0 included; the point goes in as they are copied.
    char16_t digits[24];
    int n = 0;
    auto rest = static_cast<unsigned long long>(count);
    do {
        digits[n++] = char16_t(u'0' + rest % 10);
        rest /= 10;
    } while (rest || n <= decimals);
    int dropped = 0; // trailing zeros of the fraction
    while (dropped < decimals && digits[dropped] == u'0')
        ++dropped;
    for (int i = n - 1; i >= dropped; --i) {
        if (i == decimals - 1)
            *out++ = u'.';
        *out++ = digits[i];
    }
    return out;
}

QString numericText(ColorValue c, CssForm form, const Values& exact)
{
    const Layout& layout = layoutOf(form);
    Rounded rounded = roundedTo(0, exact, layout);
    for (int decimals = 1; decimals <= kMostDecimals; ++decimals) {
        if (roundTrips(form, valuesOf(rounded), c))
            break;
        rounded = roundedTo(decimals, exact, layout);
    }
    char16_t text[128];
    Out out = put(text, layout.open);
    for (int i = 0; i < 3; ++i) {
        if (i > 0)
            out = put(out, layout.separator);
        out = putNumber(out, rounded.count[i], rounded.decimals[i]);
        out = put(out, layout.units[i]);
    }
    *out++ = u')';
    return QString(reinterpret_cast<const QChar*>(text), out - text);
}

std::optional<QString> shortHex(ColorValue c)
{
    for (const int component : {GetRed(c), GetGreen(c), GetBlue(c)}) {
        if (component % 17 != 0)
            return std::nullopt;
    }
    const QString full = ColorToHtml(c);
    const QChar digits[] = {full[0], full[1], full[3], full[5]};
    return QString(digits, 4);
}

} // namespace

QString cssFormKey(CssForm form)
{
    return QLatin1String(kKeys[int(form)]);
}

std::optional<CssForm> cssFormFromKey(QStringView key)
{
    for (int i = 0; i < kFormCount; ++i) {
        if (key.compare(QLatin1String(kKeys[i]), Qt::CaseInsensitive) == 0)
            return CssForm(i);
    }
    return std::nullopt;
}

std::optional<QString> cssText(ColorValue c, CssForm form)
{
    switch (form) {
    case CssForm::Hex:
        return ColorToHtml(c);
    case CssForm::ShortHex:
        return shortHex(c);
    case CssForm::Name:
        return exactName(c);
    case CssForm::Lab:
    case CssForm::Lch:
        return numericText(c, form, exactValues(form, toCieLab(c)));
    case CssForm::OkLab:
    case CssForm::OkLch:
        return numericText(c, form, exactValues(form, toOkLab(c)));
    default:
        return numericText(c, form, exactValues(form, c));
    }
}

QList<CssFormText> cssTexts(ColorValue c)
{
    // Each Lab worked out once for both its forms.
    const CieLab lab = toCieLab(c);
    const OkLab okLab = toOkLab(c);
    QList<CssFormText> texts;
    texts.reserve(kFormCount);
    for (int i = 0; i < kFormCount; ++i) {
        const auto form = CssForm(i);
        std::optional<QString> text;
        if (form == CssForm::Lab || form == CssForm::Lch)
            text = numericText(c, form, exactValues(form, lab));
        else if (form == CssForm::OkLab || form == CssForm::OkLch)
            text = numericText(c, form, exactValues(form, okLab));
        else
            text = cssText(c, form);
        if (text)
            texts.append({form, *std::move(text)});
    }
    return texts;
}

ColorValue colorFromValues(CssForm form, double first, double second, double third)
{
    if (throughLinearLight(form))
        return fromLinear(linearFromValues(form, {first, second, third}));
    switch (form) {
    case CssForm::Hsl:
        return toColor(Hsl{first, second / 100.0, third / 100.0});
    case CssForm::Hwb:
        return toColor(Hwb{first, second / 100.0, third / 100.0});
    case CssForm::ColorSrgb:
        return colorFromUnit(first, second, third);
    default:
        return colorFromUnit(first / 255.0, second / 255.0, third / 255.0);
    }
}

} // namespace tintaro
