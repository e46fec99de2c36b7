#include "ColorRecord.h"

#include <cstring>

namespace tintaro {

ColorRecord ColorRecord::fromColor(ColorValue c)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    const std::int32_t fields[3] = {GetRed(c), GetGreen(c), GetBlue(c)};
    ColorRecord record;
    for (int f = 0; f < 3; ++f) {
        record.bytes[2 * f] = kDigits[(fields[f] >> 4) & 15];
        record.bytes[2 * f + 1] = kDigits[fields[f] & 15];
    }
    return record;
}

ColorRecord ColorRecord::fromBytes(const char* data)
{
    ColorRecord record;
    std::memcpy(record.bytes.data(), data, kSize);
    return record;
}

std::optional<ColorValue> ColorRecord::toColor() const
{
    // The file holds red, green, blue; the value reads blue, green, red.
    const char bgr[kSize] = {bytes[4], bytes[5], bytes[2], bytes[3], bytes[0], bytes[1]};
    return BgrHexToColor(bgr, kSize);
}

} // namespace tintaro
