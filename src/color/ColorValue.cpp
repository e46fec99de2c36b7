#include "ColorValue.h"

namespace tintaro {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

void putHex2(QChar* out, std::int32_t component)
{
    out[0] = QLatin1Char(kHexDigits[(component >> 4) & 15]);
    out[1] = QLatin1Char(kHexDigits[component & 15]);
}

QString hex2(std::int32_t component)
{
    QString text(2, Qt::Uninitialized);
    putHex2(text.data(), component);
    return text;
}

int hexDigitValue(char16_t ch)
{
    if (ch >= u'0' && ch <= u'9')
        return ch - u'0';
    if (ch >= u'A' && ch <= u'F')
        return ch - u'A' + 10;
    if (ch >= u'a' && ch <= u'f')
        return ch - u'a' + 10;
    return -1;
}

template <typename CharAt>
std::optional<ColorValue> parseBgr(int length, CharAt charAt)
{
    if (length != 6)
        return std::nullopt;
    ColorValue value = 0;
    for (int i = 0; i < 6; ++i) {
        const int digit = hexDigitValue(charAt(i));
        if (digit < 0)
            return std::nullopt;
        value = (value << 4) | digit;
    }
    return value;
}

} // namespace

QString RedHex(ColorValue c) { return hex2(GetRed(c)); }
QString GreenHex(ColorValue c) { return hex2(GetGreen(c)); }
QString BlueHex(ColorValue c) { return hex2(GetBlue(c)); }

QString ColorToHtml(ColorValue c)
{
    QString text(7, Qt::Uninitialized);
    QChar* out = text.data();
    out[0] = QLatin1Char('#');
    putHex2(out + 1, GetRed(c));
    putHex2(out + 3, GetGreen(c));
    putHex2(out + 5, GetBlue(c));
    return text;
}

QString ColorToBgrHex(ColorValue c)
{
    QString text(6, Qt::Uninitialized);
    QChar* out = text.data();
    putHex2(out, GetBlue(c));
    putHex2(out + 2, GetGreen(c));
    putHex2(out + 4, GetRed(c));
    return text;
}

std::optional<ColorValue> BgrHexToColor(QStringView text)
{
    return parseBgr(int(text.size()), [text](int i) { return text[i].unicode(); });
}

std::optional<ColorValue> BgrHexToColor(const char* digits, int length)
{
    return parseBgr(length, [digits](int i) { return char16_t(static_cast<unsigned char>(digits[i])); });
}

QString ThreeDigitDecimal(std::int32_t component)
{
    return QStringLiteral("%1").arg(component, 3, 10, QLatin1Char('0'));
}

QString DecimalTriple(ColorValue c)
{
    return QString::number(GetRed(c)) + QLatin1Char(',') + QString::number(GetGreen(c)) +
           QLatin1Char(',') + QString::number(GetBlue(c));
}

QColor toQColor(ColorValue c) { return QColor(GetRed(c), GetGreen(c), GetBlue(c)); }

ColorValue colorFromUnit(double red, double green, double blue)
{
    const auto level = [](double v) {
        // A NaN fails both tests and ends as 0.
        return v >= 1.0 ? 255 : v > 0.0 ? int(v * 255.0 + 0.5) : 0;
    };
    return makeColor(level(red), level(green), level(blue));
}

ColorValue fromQColor(const QColor& color)
{
    const QColor rgb = color.toRgb();
    return makeColor(rgb.red(), rgb.green(), rgb.blue());
}

} // namespace tintaro
