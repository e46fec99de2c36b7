#include "CssParser.h"

#include "CssForms.h"
#include "CssNames.h"

#include <QLocale>

#include <algorithm>
#include <array>
#include <cstdint>

namespace tintaro {
namespace {

// Scanned as UTF-16 units, each once, without Qt's general string calls:
// checking every form of every colour parses some 170 million texts.
using Unit = char16_t;

std::nullopt_t failure(QString* why, const QString& message)
{
    if (why)
        *why = message;
    return std::nullopt;
}

QString quoted(QStringView text)
{
    return QLatin1Char('\'') + text.toString() + QLatin1Char('\'');
}

bool isDigit(Unit ch)
{
    return ch >= u'0' && ch <= u'9';
}
bool isLetter(Unit ch)
{
    return (ch | 0x20) >= u'a' && (ch | 0x20) <= u'z';
}
bool isHexDigit(QChar ch)
{
    const Unit u = ch.unicode();
    return isDigit(u) || ((u | 0x20) >= u'a' && (u | 0x20) <= u'f');
}
// CSS's own white space, between values.
bool isBlank(Unit ch)
{
    return ch == u' ' || ch == u'\t' || ch == u'\n' || ch == u'\r' || ch == u'\f';
}
// Round the whole text anything Qt counts as space, as pasted text brings.
bool isSpace(Unit ch)
{
    return isBlank(ch) || (ch >= 0x80 && QChar(ch).isSpace());
}
bool endsValue(Unit ch)
{
    return isBlank(ch) || ch == u',' || ch == u'/' || ch == u')' || ch == u'(';
}

// CSS keywords are ASCII in either letter case.
bool isKeyword(QStringView text, const char* lower)
{
    qsizetype i = 0;
    for (; lower[i]; ++i) {
        if (i == text.size() || (text[i].unicode() | 0x20) != lower[i])
            return false;
    }
    return i == text.size();
}

// What a function's three values mean: 100% of each, and which is a hue.
struct Reading
{
    const char* name;
    CssForm form;
    std::array<double, 3> hundredPercent;
    int hue;
    bool commas; // also takes the older comma-separated form
};

constexpr Reading kReadings[] = {
    {"rgb", CssForm::Rgb, {255, 255, 255}, -1, true},
    {"rgba", CssForm::Rgb, {255, 255, 255}, -1, true},
    {"hsl", CssForm::Hsl, {0, 100, 100}, 0, true},
    {"hsla", CssForm::Hsl, {0, 100, 100}, 0, true},
    {"hwb", CssForm::Hwb, {0, 100, 100}, 0, false},
    {"lab", CssForm::Lab, {100, 125, 125}, -1, false},
    {"lch", CssForm::Lch, {100, 150, 0}, 2, false},
    {"oklab", CssForm::OkLab, {1, 0.4, 0.4}, -1, false},
    {"oklch", CssForm::OkLch, {1, 0.4, 0}, 2, false},
    {"color", CssForm::ColorSrgb, {1, 1, 1}, -1, false},
};

enum class Kind
{
    Number,
    Percent,
    Angle,
    None,
    Word, // any other keyword, such as the space in color()
    Bad,
};

struct Value
{
    Kind kind;
    double number; // an angle in degrees
};

constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                              1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

// A CSS number at p, which is moved past it; unmoved if there is none. Up to
// 15 digits the value is their integer over a power of ten, correctly
// rounded, as cssText reckons its round trip; longer numbers and exponents
// go to Qt.
double readNumber(const Unit*& p, const Unit* last)
{
    const Unit* start = p;
    const bool negative = *p == u'-';
    if (*p == u'-' || *p == u'+')
        ++p;
    std::uint64_t digits = 0;
    const Unit* wholeStart = p;
    for (; p < last && isDigit(*p); ++p)
        digits = digits * 10 + (*p - u'0');
    int count = int(p - wholeStart), decimals = 0;
    if (p + 1 < last && *p == u'.' && isDigit(p[1])) {
        const Unit* fractionStart = ++p;
        for (; p < last && isDigit(*p); ++p)
            digits = digits * 10 + (*p - u'0');
        decimals = int(p - fractionStart);
        count += decimals;
    }
    if (count == 0) {
        p = start;
        return 0;
    }
    bool exponent = false;
    if (p < last && (*p | 0x20) == u'e') {
        const Unit* q = p + 1;
        if (q < last && (*q == u'+' || *q == u'-'))
            ++q;
        if (q < last && isDigit(*q)) {
            for (p = q; p < last && isDigit(*p); ++p) {
            }
            exponent = true;
        }
    }
    if (!exponent && count <= 15) {
        const double value = double(digits) / kPowers[decimals];
        return negative ? -value : value;
    }
    return QLocale::c().toDouble(QStringView(start, p));
}

std::optional<double> degrees(double number, QStringView unit)
{
    if (isKeyword(unit, "deg"))
        return number;
    if (isKeyword(unit, "grad"))
        return number * 0.9;
    if (isKeyword(unit, "rad"))
        return number * (180.0 / 3.14159265358979323846);
    if (isKeyword(unit, "turn"))
        return number * 360.0;
    return std::nullopt;
}

// One value at p, which is left after it: a number, percentage, angle or keyword.
Value readValue(const Unit*& at, const Unit* last)
{
    const Unit* p = at;
    while (p < last && isLetter(*p))
        ++p;
    if (p != at) {
        const QStringView word(at, p);
        at = p;
        return {isKeyword(word, "none") ? Kind::None : Kind::Word, 0};
    }
    const double number = readNumber(p, last);
    if (p == at)
        return {Kind::Bad, 0};
    if (p < last && *p == u'%') {
        at = p + 1;
        return {Kind::Percent, number};
    }
    const Unit* unit = p;
    while (p < last && isLetter(*p))
        ++p;
    at = p;
    if (p == unit)
        return {Kind::Number, number};
    if (const auto angle = degrees(number, QStringView(unit, p)))
        return {Kind::Angle, *angle};
    return {Kind::Bad, 0};
}

std::optional<ColorValue> parseHex(QStringView digits, QString* why)
{
    const qsizetype n = digits.size();
    if (n != 3 && n != 4 && n != 6 && n != 8)
        return failure(why,
                       QStringLiteral("#%1 needs 3, 4, 6 or 8 hexadecimal digits").arg(digits));
    if (!std::all_of(digits.begin(), digits.end(), isHexDigit))
        return failure(why, QStringLiteral("#%1 is not hexadecimal").arg(digits));
    const qsizetype colourDigits = n <= 4 ? 3 : 6;
    for (qsizetype i = colourDigits; i < n; ++i) {
        if ((digits[i].unicode() | 0x20) != u'f')
            return failure(why, QStringLiteral("only opaque colours are supported, not alpha %1")
                                    .arg(digits.mid(colourDigits)));
    }
    std::array<QChar, 6> bgr;
    for (int i = 0; i < 6; ++i) {
        // Stored order is blue first; a short form doubles each digit.
        const int component = 2 - i / 2;
        bgr[i] = colourDigits == 3 ? digits[component] : digits[component * 2 + i % 2];
    }
    return BgrHexToColor(QStringView(bgr.data(), 6));
}

struct Argument
{
    Value value;
    QStringView text;
    Unit separator; // before it: ' ', ',' or '/'; 0 for the first
};

// What follows the function's '(' to the end of the text.
std::optional<ColorValue> parseFunction(const Reading& reading, QStringView name, QStringView rest,
                                        QString* why)
{
    // Named as written, for the messages only.
    const auto function = [name] { return name.toString().toLower() + QStringLiteral("()"); };
    std::array<Argument, 6> args;
    int count = 0;
    Unit pending = 0;
    const Unit* p = rest.utf16();
    const Unit* last = p + rest.size();
    while (p < last && *p != u')') {
        if (*p == u'(')
            return failure(why, QStringLiteral("%1 cannot hold other functions").arg(function()));
        if (isBlank(*p)) {
            ++p;
            continue;
        }
        if (*p == u',' || *p == u'/') {
            if (pending || count == 0)
                return failure(why,
                               QStringLiteral("%1 has a stray '%2'").arg(function(), QChar(*p)));
            pending = *p++;
            continue;
        }
        if (count == int(args.size()))
            return failure(why, QStringLiteral("%1 has too many values").arg(function()));
        Argument& arg = args[count];
        const Unit* start = p;
        arg.value = readValue(p, last);
        if (p < last && !endsValue(*p)) {
            arg.value.kind = Kind::Bad;
            while (p < last && !endsValue(*p))
                ++p;
        }
        arg.text = QStringView(start, p);
        arg.separator = pending ? pending : count > 0 ? u' ' : 0;
        ++count;
        pending = 0;
    }
    if (p == last)
        return failure(why, QStringLiteral("%1 has no closing ')'").arg(function()));
    if (p + 1 != last)
        return failure(why, QStringLiteral("unexpected %1 after the colour")
                                .arg(quoted(QStringView(p + 1, last).trimmed())));
    if (pending)
        return failure(why, QStringLiteral("%1 has a stray '%2'").arg(function(), QChar(pending)));

    int first = 0;
    if (reading.form == CssForm::ColorSrgb) {
        if (count == 0)
            return failure(why, QStringLiteral("color() needs a colour space and three values"));
        if (!isKeyword(args[0].text, "srgb"))
            return failure(
                why,
                QStringLiteral("color() supports only srgb, not %1").arg(quoted(args[0].text)));
        first = 1;
        args[1].separator = 0; // after the space's name, as after a '('
    }
    bool commas = false;
    for (int i = first; i < count; ++i)
        commas = commas || args[i].separator == u',';
    if (commas && !reading.commas)
        return failure(why, QStringLiteral("%1 takes no commas").arg(function()));
    int values = count - first;
    for (int i = first + 1; i < count; ++i) {
        if (commas && args[i].separator != u',')
            return failure(why,
                           QStringLiteral("%1 mixes commas with other separators").arg(function()));
        if (!commas && args[i].separator == u'/') {
            if (i != count - 1)
                return failure(
                    why, QStringLiteral("%1 takes one alpha value after '/'").arg(function()));
            values = i - first;
        }
    }
    // With commas a fourth value is the alpha.
    const bool alpha = values == count - first - 1 || (commas && values == 4);
    if (values != 3 && !(commas && values == 4))
        return failure(why, QStringLiteral("%1 needs three values").arg(function()));

    std::array<double, 3> v{};
    int percentages = 0;
    for (int i = 0; i < 3; ++i) {
        const Argument& arg = args[first + i];
        const Kind kind = arg.value.kind;
        const bool hue = i == reading.hue;
        if (kind == Kind::Bad || kind == Kind::Word || (kind == Kind::Angle && !hue) ||
            (kind == Kind::Percent && hue))
            return failure(why, QStringLiteral("%1 in %2 is not %3")
                                    .arg(quoted(arg.text), function(),
                                         hue ? QStringLiteral("a hue")
                                             : QStringLiteral("a number or percentage")));
        if (commas && kind == Kind::None)
            return failure(why, QStringLiteral("%1 with commas cannot take none").arg(function()));
        percentages += kind == Kind::Percent;
        const double hundred = reading.hundredPercent[i];
        // Percentages of 100 pass unscaled, the very double cssText reckoned with.
        v[i] = kind != Kind::Percent ? arg.value.number
               : hundred == 100      ? arg.value.number
                                     : arg.value.number / 100.0 * hundred;
    }
    if (commas && reading.form == CssForm::Rgb && percentages != 0 && percentages != 3)
        return failure(
            why,
            QStringLiteral("%1 with commas takes all numbers or all percentages").arg(function()));
    if (commas && reading.form == CssForm::Hsl && percentages != 2)
        return failure(
            why, QStringLiteral("%1 with commas takes percentages for saturation and lightness")
                     .arg(function()));
    if (alpha) {
        const Argument& arg = args[count - 1];
        const Kind kind = arg.value.kind;
        if (kind != Kind::Number && kind != Kind::Percent && kind != Kind::None)
            return failure(
                why,
                QStringLiteral("alpha %1 is not a number or percentage").arg(quoted(arg.text)));
        const double opacity = kind == Kind::Percent ? arg.value.number / 100.0 : arg.value.number;
        // CSS holds an alpha above 1 at 1; none is 0.
        if (!(opacity >= 1.0))
            return failure(
                why,
                QStringLiteral("only opaque colours are supported, not alpha %1").arg(arg.text));
    }
    return colorFromValues(reading.form, v[0], v[1], v[2]);
}

} // namespace

std::optional<ColorValue> parseCssColor(QStringView text, QString* why)
{
    const Unit* begin = text.utf16();
    const Unit* last = begin + text.size();
    while (begin < last && isSpace(*begin))
        ++begin;
    while (last > begin && isSpace(last[-1]))
        --last;
    if (begin == last)
        return failure(why, QStringLiteral("no colour given"));
    if (*begin == u'#')
        return parseHex(QStringView(begin + 1, last), why);
    const Unit* nameEnd = begin;
    while (nameEnd < last && isLetter(*nameEnd))
        ++nameEnd;
    const QStringView name(begin, nameEnd);
    if (nameEnd == last) {
        if (const auto color = namedColor(name))
            return color;
        if (isKeyword(name, "transparent"))
            return failure(why,
                           QStringLiteral("only opaque colours are supported, not transparent"));
        return failure(why, QStringLiteral("unknown colour name %1").arg(quoted(name)));
    }
    if (name.isEmpty() || *nameEnd != u'(')
        return failure(why,
                       QStringLiteral("%1 is not a colour").arg(quoted(QStringView(begin, last))));
    const Unit first = Unit(*begin | 0x20);
    const auto* reading =
        std::find_if(std::begin(kReadings), std::end(kReadings), [&](const Reading& r) {
            return r.name[0] == first && isKeyword(name, r.name);
        });
    if (reading == std::end(kReadings))
        return failure(why, QStringLiteral("unknown function '%1()'").arg(name));
    return parseFunction(*reading, name, QStringView(nameEnd + 1, last), why);
}

} // namespace tintaro
