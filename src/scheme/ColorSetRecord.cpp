#include "ColorSetRecord.h"

#include <algorithm>

namespace tintaro {

ColorSetRecord::ColorSetRecord()
{
    m_bytes.fill(' ');
}

ColorSetRecord ColorSetRecord::fromColors(const Colors& colors)
{
    ColorSetRecord record;
    for (int f = 0; f < kFieldCount; ++f) {
        const QByteArray digits = ColorToBgrHex(colors[std::size_t(f)]).toLatin1();
        std::copy_n(digits.constData(), kFieldSize, record.m_bytes.begin() + f * kFieldSize);
    }
    return record;
}

ColorSetRecord ColorSetRecord::fromBytes(QByteArrayView bytes)
{
    ColorSetRecord record;
    std::copy_n(bytes.data(), std::min<qsizetype>(bytes.size(), kSize), record.m_bytes.begin());
    return record;
}

ColorSetRecord ColorSetRecord::readAt(QFile& file, int position)
{
    if (file.isOpen() && file.seek(qint64(position) * kSize))
        return fromBytes(file.read(kSize));
    return ColorSetRecord();
}

QByteArray ColorSetRecord::bytes() const
{
    return QByteArray(m_bytes.data(), kSize);
}

std::optional<ColorValue> ColorSetRecord::color(Field field) const
{
    if (field < 0 || field >= kFieldCount)
        return std::nullopt;
    return BgrHexToColor(m_bytes.data() + field * kFieldSize, kFieldSize);
}

std::array<std::optional<ColorValue>, ColorSetRecord::kFieldCount>
ColorSetRecord::knownColors() const
{
    std::array<std::optional<ColorValue>, kFieldCount> colors;
    for (int f = 0; f < kFieldCount; ++f)
        colors[std::size_t(f)] = color(Field(f));
    return colors;
}

} // namespace tintaro
