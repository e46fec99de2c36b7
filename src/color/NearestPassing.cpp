#include "NearestPassing.h"

#include "Contrast.h"
#include "OkLab.h"

#include <algorithm>
#include <cmath>

namespace tintaro {
namespace {

// The colour's hue and chroma at another lightness, as an 8-bit colour.
struct Path
{
    OkLch lch;
    ColorValue against;
    double required;

    ColorValue at(double L) const
    {
        const OkLab lab = fromOkLch({L, lch.C, lch.h});
        return inGamut(lab) ? toColor(lab) : toColor(fromOkLch({L, maxChroma(L, lch.h), lch.h}));
    }
    bool passesAt(double L) const { return passes(contrastRatio(at(L), against), required); }
};

// Halves [fail, pass] down to the lightness where colours start to pass.
double narrow(const Path& path, double fail, double pass, int halvings)
{
    for (int i = 0; i < halvings; ++i) {
        const double mid = (fail + pass) / 2;
        (path.passesAt(mid) ? pass : fail) = mid;
    }
    return pass;
}

// The passing lightness nearest to `from` on the way to `end` (0 or 1), if any.
// Contrast grows towards black and white, so if `end` fails, all before it does.
std::optional<double> nearestTowards(const Path& path, double from, double end)
{
    if (!path.passesAt(end))
        return std::nullopt;
    constexpr int kCoarseSteps = 32;
    double fail = from, pass = end;
    for (int i = 1; i < kCoarseSteps; ++i) {
        const double L = from + (end - from) * i / kCoarseSteps;
        if (path.passesAt(L)) {
            pass = L;
            break;
        }
        fail = L;
    }
    pass = narrow(path, fail, pass, 8);
    // Rounding to 8 bits makes the contrast flicker about the threshold, so a
    // colour a little nearer than this edge may pass as well: walk in from
    // there in fine steps, then find the edge of the first that passes.
    constexpr double kBand = 0.01, kFine = 1e-4;
    const double step = end > from ? kFine : -kFine;
    int i = int(std::min(kBand, std::abs(pass - from)) / kFine);
    while (i > 0 && !path.passesAt(pass - i * step))
        --i;
    return narrow(path, pass - (i + 1) * step, pass - i * step, 10);
}

} // namespace

std::optional<ColorValue> nearestPassing(ColorValue color, ColorValue against, double required)
{
    if (passes(contrastRatio(color, against), required))
        return color;
    Path path{toOkLch(color), against, required};
    // A grey's chroma is rounding error and its hue means nothing; at exactly
    // zero the path keeps to greys.
    if (path.lch.C < 1e-6)
        path.lch.C = 0;
    const double L = path.lch.L;
    const std::optional<double> lighter = nearestTowards(path, L, 1.0);
    const std::optional<double> darker = nearestTowards(path, L, 0.0);
    if (!lighter && !darker)
        return std::nullopt;
    const bool takeLighter = lighter && (!darker || *lighter - L <= L - *darker);
    return path.at(takeLighter ? *lighter : *darker);
}

} // namespace tintaro
