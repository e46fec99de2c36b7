#pragma once

#include "ColorValue.h"

#include <array>
#include <optional>

namespace tintaro {

// One 6-byte record of a colour file: red, green, blue as two hexadecimal
// characters each, no separators. Kept as raw bytes so that comparisons are
// exact (letter case counts) and damaged records survive a rewrite untouched.
struct ColorRecord
{
    static constexpr int kSize = 6;

    std::array<char, kSize> bytes{};

    static ColorRecord fromColor(ColorValue c); // upper-case digits
    static ColorRecord fromBytes(const char* data); // copies kSize bytes

    // Blue, green and red fields read back as BBGGRR; no value when any of
    // the six bytes is not a hexadecimal digit.
    std::optional<ColorValue> toColor() const;

    bool operator==(const ColorRecord& other) const { return bytes == other.bytes; }
    bool operator!=(const ColorRecord& other) const { return bytes != other.bytes; }
};

} // namespace tintaro
