#pragma once

#include <QColor>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>

namespace tintaro {

// A 24-bit colour as 0x00BBGGRR: red in the lowest byte. Every colour the
// program stores, shows or writes passes through this one type.
using ColorValue = std::int32_t;

constexpr ColorValue kBlack = 0x000000;
constexpr ColorValue kWhite = 0xFFFFFF;

constexpr ColorValue makeColor(int red, int green, int blue)
{
    return (red & 255) | ((green & 255) << 8) | ((blue & 255) << 16);
}

// Integer division truncates toward zero, as the stored format was defined;
// for 0..0xFFFFFF these are simply bytes 0, 1 and 2.
constexpr std::int32_t GetRed(ColorValue c) { return c & 255; }
constexpr std::int32_t GetGreen(ColorValue c) { return (c / 256) & 255; }
constexpr std::int32_t GetBlue(ColorValue c) { return (c / 65536) & 255; }

// Two upper-case hexadecimal digits of one component.
QString RedHex(ColorValue c);
QString GreenHex(ColorValue c);
QString BlueHex(ColorValue c);

// "#RRGGBB", the form shown to the user and written into HTML and CSS.
QString ColorToHtml(ColorValue c);

// "BBGGRR", the storage order: the digits of the value itself.
QString ColorToBgrHex(ColorValue c);

// Reads six hexadecimal digits in BBGGRR order, either letter case. Anything
// else (wrong length, blanks, other characters) gives no value rather than a
// guess, so that callers decide how damaged data shows.
std::optional<ColorValue> BgrHexToColor(QStringView text);
std::optional<ColorValue> BgrHexToColor(const char* digits, int length);

// Component in decimal, zero-filled to three digits: 5 -> "005".
QString ThreeDigitDecimal(std::int32_t component);

// "R,G,B" in plain decimal without padding: "155,255,120".
QString DecimalTriple(ColorValue c);

// From components in 0..1, as desktop services hand them over: each to the
// nearest of the 256 levels (never cut down), out of range held at the ends.
ColorValue colorFromUnit(double red, double green, double blue);

QColor toQColor(ColorValue c);
ColorValue fromQColor(const QColor& color);

} // namespace tintaro
