#include "Srgb.h"

#include <array>
#include <cmath>
#include <cstdint>

namespace tintaro {
namespace {

double decode(double v)
{
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

// Only 256 levels exist, and the contrast search asks for them thousands of times.
const std::array<double, 256>& linearLevels()
{
    static const std::array<double, 256> levels = [] {
        std::array<double, 256> table{};
        for (int n = 0; n < 256; ++n)
            table[n] = decode(n / 255.0);
        return table;
    }();
    return levels;
}

// Rounding the encoded value is the same as counting the bounds between
// levels that lie below the linear one, and needs no power: the CSS parser
// and the formatter's round-trip search quantize millions of colours.
constexpr int kBuckets = 4096;
struct Quantizer
{
    // bounds[n]: the linear value halfway (encoded) from level n - 1 to n;
    // bounds[0] and bounds[256] lie half a level beyond the ends.
    std::array<double, 257> bounds;
    // The level at the bottom of each bucket of linear values.
    std::array<std::uint8_t, kBuckets> start;
};

const Quantizer& quantizer()
{
    static const Quantizer q = [] {
        Quantizer table{};
        // Below 0 the curve is the straight line through it.
        table.bounds[0] = -decode(0.5 / 255.0);
        for (int n = 1; n <= 256; ++n)
            table.bounds[n] = decode((n - 0.5) / 255.0);
        int level = 0;
        for (int i = 0; i < kBuckets; ++i) {
            while (table.bounds[level + 1] <= double(i) / kBuckets)
                ++level;
            table.start[i] = std::uint8_t(level);
        }
        return table;
    }();
    return q;
}

int level(double linear)
{
    const Quantizer& q = quantizer();
    // Also where NaN ends: every comparison with it fails.
    if (!(linear >= q.bounds[1]))
        return 0;
    if (linear >= q.bounds[255])
        return 255;
    // A bucket is under one level wide even at the steep black end, so this walks a step or two.
    int n = q.start[int(linear * kBuckets)];
    while (linear >= q.bounds[n + 1])
        ++n;
    return n;
}

bool within(double linear, int n)
{
    const Quantizer& q = quantizer();
    return linear >= q.bounds[n] && linear < q.bounds[n + 1];
}

} // namespace

LinearRgb toLinear(ColorValue c)
{
    const auto& levels = linearLevels();
    return {levels[GetRed(c)], levels[GetGreen(c)], levels[GetBlue(c)]};
}

ColorValue fromLinear(const LinearRgb& rgb)
{
    return makeColor(level(rgb.r), level(rgb.g), level(rgb.b));
}

bool roundsTo(const LinearRgb& rgb, ColorValue c)
{
    return within(rgb.r, GetRed(c)) && within(rgb.g, GetGreen(c)) && within(rgb.b, GetBlue(c));
}

} // namespace tintaro
