#pragma once

#include "ColorValue.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>

#include <array>
#include <optional>

namespace tintaro {

// One 36-byte record of "colorset.dat": the six colours of a set, each as
// six upper-case hexadecimal digits in BBGGRR order, no separators. Kept as
// raw bytes so that a damaged field stays visible as damaged.
class ColorSetRecord
{
public:
    static constexpr int kSize = 36;
    static constexpr int kFieldSize = 6;

    // The fields in file order, which is also the order of the sample page's
    // colours everywhere in the program.
    enum Field
    {
        Text,
        Background,
        NormalLink,
        VisitedLink,
        ActiveLink,
        HoverLink,
        kFieldCount
    };
    using Colors = std::array<ColorValue, kFieldCount>;

    // Every byte a blank: a record that gives no colour at all.
    ColorSetRecord();

    static ColorSetRecord fromColors(const Colors& colors);
    // Takes the first 36 bytes; bytes missing at the end stay blank, so that
    // a record cut short gives only its whole fields.
    static ColorSetRecord fromBytes(QByteArrayView bytes);
    // Record `position` (0-based) of an open colour file; a file that is not
    // open, or ends before it, gives what fromBytes gives for what is there.
    static ColorSetRecord readAt(QFile& file, int position);

    QByteArray bytes() const;

    // The colour of one field, or nothing when the field is not six
    // hexadecimal digits (either letter case).
    std::optional<ColorValue> color(Field field) const;
    // All six in field order, each as color() gives it.
    std::array<std::optional<ColorValue>, kFieldCount> knownColors() const;

    bool operator==(const ColorSetRecord& other) const { return m_bytes == other.m_bytes; }
    bool operator!=(const ColorSetRecord& other) const { return m_bytes != other.m_bytes; }

private:
    std::array<char, kSize> m_bytes;
};

} // namespace tintaro
