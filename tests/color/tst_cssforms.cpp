#include "CieLab.h"
#include "CssForms.h"
#include "CssNames.h"
#include "CssParser.h"
#include "OkLab.h"

#include <QColor>
#include <QRegularExpression>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <mutex>
#include <thread>
#include <vector>

using namespace tintaro;

namespace {

// Under the address sanitizer every allocation records where it came from,
// many times the cost of the texts themselves: there one colour in 31 keeps
// the run within its time. The plain build goes through every colour.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kColourStep = 31;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr int kColourStep = 31;
#else
constexpr int kColourStep = 1;
#endif
#else
constexpr int kColourStep = 1;
#endif

// Colours in the tables are written as they are shown, 0xRRGGBB.
ColorValue rgb(int hex)
{
    return makeColor(hex >> 16, hex >> 8, hex);
}

QList<double> numbersIn(const QString& text, QList<int>* decimals = nullptr)
{
    static const QRegularExpression number(QStringLiteral("-?\\d+(?:\\.(\\d+))?"));
    QList<double> values;
    for (const auto& match : number.globalMatch(text)) {
        values.append(match.captured(0).toDouble());
        if (decimals)
            decimals->append(int(match.capturedLength(1)));
    }
    return values;
}

} // namespace

class TestCssForms : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The command line's keys, both ways; either letter case is read.
    void keys_data()
    {
        QTest::addColumn<int>("form");
        const char* keys[] = {"hex", "hex3", "rgb",   "rgb-legacy", "hsl",  "hwb",
                              "lab", "lch",  "oklab", "oklch",      "srgb", "name"};
        for (int form = 0; form < int(std::size(keys)); ++form)
            QTest::newRow(keys[form]) << form;
    }
    void keys()
    {
        QFETCH(int, form);
        const QString key = QString::fromLatin1(QTest::currentDataTag());
        QCOMPARE(cssFormKey(CssForm(form)), key);
        QCOMPARE(int(cssFormFromKey(key).value()), form);
        QCOMPARE(int(cssFormFromKey(key.toUpper()).value()), form);
        QVERIFY(!cssFormFromKey(key + QLatin1Char('x')));
    }

    // Exact texts where the fewest decimals are plain (#7F7F7F needs 49.8%
    // where #808080 is read back from 50%), and published conversions: green
    // from the CSS test suite (Lab relative to D50), red and grey in OKLab
    // after Ottosson. Those agree within the decimals written, and, reckoned
    // without clipping, stand for a colour inside sRGB. "" for no such form.
    void knownTexts_data()
    {
        QTest::addColumn<int>("color");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("exact");
        const auto row = [](int color, const char* key, const char* expected, bool exact) {
            QTest::addRow("%06X %s", color, key) << color << key << expected << exact;
        };
        row(0xFF0000, "hex", "#FF0000", true);
        row(0xFF0000, "hex3", "#F00", true);
        row(0x123456, "hex3", "", true);
        row(0xFF0000, "rgb", "rgb(255 0 0)", true);
        row(0xFF0000, "rgb-legacy", "rgb(255, 0, 0)", true);
        row(0xFF0000, "hsl", "hsl(0 100% 50%)", true);
        row(0xFF0000, "hwb", "hwb(0 0% 0%)", true);
        row(0xFF0000, "srgb", "color(srgb 1 0 0)", true);
        row(0x663399, "hsl", "hsl(270 50% 40%)", true);
        row(0x663399, "hwb", "hwb(270 20% 40%)", true);
        row(0x808080, "hsl", "hsl(0 0% 50%)", true);
        row(0x7F7F7F, "hsl", "hsl(0 0% 49.8%)", true);
        row(0x808080, "srgb", "color(srgb 0.5 0.5 0.5)", true);
        row(0x7F7F7F, "srgb", "color(srgb 0.498 0.498 0.498)", true);
        row(0x000001, "hsl", "hsl(240 100% 0.2%)", true);
        row(0xFFFFFF, "lab", "lab(100 0 0)", true);
        row(0xFFFFFF, "oklch", "oklch(1 0 0)", true);
        row(0x008000, "lab", "lab(46.2775 -47.5621 48.5837)", false);
        row(0x008000, "lch", "lch(46.2775 67.9892 134.3912)", false);
        row(0x008000, "oklab", "oklab(0.51975 -0.1403 0.10768)", false);
        row(0x008000, "oklch", "oklch(0.51975 0.17686 142.495)", false);
        row(0xFF0000, "oklab", "oklab(0.62796 0.22486 0.12585)", false);
        row(0xFF0000, "oklch", "oklch(0.62796 0.25768 29.234)", false);
        row(0x808080, "oklch", "oklch(0.59987 0 0)", false);
        row(0x808080, "lch", "lch(53.585 0 0)", false);
    }
    void knownTexts()
    {
        QFETCH(int, color);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        QFETCH(bool, exact);
        const auto text = cssText(rgb(color), cssFormFromKey(key).value());
        if (exact) {
            QCOMPARE(text.value_or(QString()), expected);
            return;
        }
        QVERIFY(text->startsWith(key + QLatin1Char('(')));
        QList<int> decimals;
        const QList<double> v = numbersIn(*text, &decimals);
        const QList<double> published = numbersIn(expected);
        QCOMPARE(v.size(), 3);
        for (int i = 0; i < 3; ++i)
            QVERIFY2(std::abs(v[i] - published[i]) <= 0.5 * std::pow(10, -decimals[i]) + 1e-5,
                     qPrintable(*text));
        const LinearRgb linear =
            key == QLatin1String("lab")     ? toLinear(CieLab{v[0], v[1], v[2]})
            : key == QLatin1String("lch")   ? toLinear(fromCieLch({v[0], v[1], v[2]}))
            : key == QLatin1String("oklab") ? toLinear(OkLab{v[0], v[1], v[2]})
                                            : toLinear(fromOkLch({v[0], v[1], v[2]}));
        // Half an 8-bit level beyond black and white, on the sRGB curve.
        const double below = -0.5 / 255 / 12.92;
        const double above = std::pow((1 + 0.5 / 255 + 0.055) / 1.055, 2.4);
        for (const double channel : {linear.r, linear.g, linear.b})
            QVERIFY2(channel >= below && channel < above, qPrintable(*text));
    }

    // The usual ways of writing a colour, among them the CSS test suite's
    // conversions of lab(), lch() and oklch() values (to the nearest level).
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("color");
        const auto row = [](const char* text, int color) { QTest::newRow(text) << text << color; };
        row(" #f00\t", 0xFF0000);
        row("#FF0000ff", 0xFF0000);
        row("#F00F", 0xFF0000);
        row(" Red ", 0xFF0000);
        row("RGB(255,0,0)", 0xFF0000);
        row("rgba(255, 0, 0, 1)", 0xFF0000);
        row("rgb(100% 0% 0% / 100%)", 0xFF0000);
        row("rgb(300 -20 2.55e2)", 0xFF00FF);
        row("rgb(127.5 none 0 / 2)", 0x800000);
        row("hsla(120, 100%, 25%, 1)", 0x008000);
        row("hsl(0.5turn 100% 50%)", 0x00FFFF);
        row("hsl(200grad 100 50)", 0x00FFFF);
        row("hsl(3.14159265358979rad 100% 50%)", 0x00FFFF);
        row("hsl(-120deg 100% 50%)", 0x0000FF);
        row("hsl(none 0% 50%)", 0x808080);
        row("hwb(0 60% 60%)", 0x808080);
        row("lab(46.2775% -47.5621 48.5837)", 0x008000);
        row("lab(50 0 0)", 0x777777);
        row("lab(150 0 0)", 0xFFFFFF);
        row("lch(46.2775% 67.9892 134.3912)", 0x008000);
        row("lch(50% 50 0)", 0xC14E79);
        row("lch(50 -10 0)", 0x777777);
        row("oklab(51.975% -35.075% 26.92%)", 0x008000);
        row("oklch(51.975% 44.215% 142.495)", 0x008000);
        row("oklch(50% 0.2 0)", 0xB4065F);
        row("oklch(80% 0.15 160)", 0x52DB9C);
        row("oklab(none none none)", 0x000000);
        row("color(srgb 100% .5 0)", 0xFF8000);
        row("color(SRGB 1 0 0 / 1)", 0xFF0000);
    }
    void parse()
    {
        QFETCH(QString, text);
        QFETCH(int, color);
        QString why;
        const auto parsed = parseCssColor(text, &why);
        QVERIFY2(parsed, qPrintable(why));
        QCOMPARE(ColorToHtml(*parsed), ColorToHtml(rgb(color)));
    }

    void badInput_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("why");
        const auto row = [](const char* text, const char* why) {
            QTest::newRow(text) << text << why;
        };
        row(" ", "no colour given");
        row("foo", "unknown colour name 'foo'");
        row("transparent", "only opaque colours are supported, not transparent");
        row("#12345", "#12345 needs 3, 4, 6 or 8 hexadecimal digits");
        row("#12345g", "#12345g is not hexadecimal");
        row("#ff000080", "only opaque colours are supported, not alpha 80");
        row("hsl(120 100%)", "hsl() needs three values");
        row("rgb(1 2 3 4)", "rgb() needs three values");
        row("rgb(1 2 3) x", "unexpected 'x' after the colour");
        row("rgb(1 2 3", "rgb() has no closing ')'");
        row("rgb(0 0 0 / 0.5)", "only opaque colours are supported, not alpha 0.5");
        row("rgba(0, 0, 0, 0)", "only opaque colours are supported, not alpha 0");
        row("rgb(1, 2 3)", "rgb() mixes commas with other separators");
        row("rgb(1 2 3 / 1 / 1)", "rgb() takes one alpha value after '/'");
        row("rgb(1 2 3 /)", "rgb() has a stray '/'");
        row("rgb(1, 2%, 3)", "rgb() with commas takes all numbers or all percentages");
        row("hsl(none, 50%, 50%)", "hsl() with commas cannot take none");
        row("lab(1, 2, 3)", "lab() takes no commas");
        row("rgb(1px 2 3)", "'1px' in rgb() is not a number or percentage");
        row("hsl(10% 50% 50%)", "'10%' in hsl() is not a hue");
        row("rgb(calc(1) 2 3)", "rgb() cannot hold other functions");
        row("nope(1 2 3)", "unknown function 'nope()'");
        row("color(display-p3 1 0 0)", "color() supports only srgb, not 'display-p3'");
    }
    void badInput()
    {
        QFETCH(QString, text);
        QFETCH(QString, why);
        QString reason;
        QVERIFY(!parseCssColor(text, &reason));
        QCOMPARE(reason, why);
    }

    // Qt knows SVG's names, which are CSS's but for rebeccapurple; transparent is no colour.
    void names()
    {
        QStringList expected = QColor::colorNames();
        expected.removeOne(QStringLiteral("transparent"));
        expected.append(QStringLiteral("rebeccapurple"));
        expected.sort();
        QCOMPARE(cssColorNames(), expected);
        for (const QString& name : expected) {
            const QColor qt(name == QLatin1String("rebeccapurple") ? QStringLiteral("#663399")
                                                                   : name);
            QCOMPARE(namedColor(name.toUpper()), fromQColor(qt));
        }
        QVERIFY(!namedColor(u"transparent"));
    }

    // Of two names for a colour the first alphabetically; elsewhere the nearest
    // in OKLab, against every name.
    void nearest_data()
    {
        QTest::addColumn<int>("color");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("exact");
        QTest::newRow("red") << 0xFF0000 << "red" << true;
        QTest::newRow("gray") << 0x808080 << "gray" << true;
        QTest::newRow("aqua") << 0x00FFFF << "aqua" << true;
        QTest::newRow("darkslategray") << 0x2F4F4F << "darkslategray" << true;
        QTest::newRow("near red") << 0xFE0101 << "red" << false;
        QTest::newRow("near gray") << 0x7F7F7F << "gray" << false;
        QTest::newRow("between") << 0x123456 << "" << false;
    }
    void nearest()
    {
        QFETCH(int, color);
        QFETCH(QString, name);
        QFETCH(bool, exact);
        const NearestName nearest = nearestName(rgb(color));
        QCOMPARE(exactName(rgb(color)).value_or(QString()), exact ? name : QString());
        QCOMPARE(nearest.exact, exact);
        QCOMPARE(nearest.deltaE == 0, exact);
        if (!name.isEmpty())
            QCOMPARE(nearest.name, name);
        QCOMPARE(nearest.color, namedColor(nearest.name).value());
        QCOMPARE(nearest.deltaE, deltaE(rgb(color), nearest.color));
        for (const QString& other : cssColorNames())
            QVERIFY(deltaE(rgb(color), namedColor(other).value()) >= nearest.deltaE);
    }

    // Every form of every colour reads back as that colour, each numeric form
    // always there; cssTexts agrees on a sample. Interleaved over a few threads.
    void everyColour()
    {
        const int threads = std::clamp(int(std::thread::hardware_concurrency()), 1, 4);
        std::mutex mutex;
        int failures = 0;
        QStringList reported;
        const auto report = [&](ColorValue c, const QString& what) {
            const std::lock_guard<std::mutex> lock(mutex);
            if (failures++ < 5)
                reported.append(ColorToHtml(c) + QLatin1Char(' ') + what);
        };
        const auto check = [&](int start) {
            for (ColorValue c = start * kColourStep; c <= 0xFFFFFF; c += threads * kColourStep) {
                for (int f = 0; f <= int(CssForm::Name); ++f) {
                    const auto form = CssForm(f);
                    const auto text = cssText(c, form);
                    if (!text && form != CssForm::ShortHex && form != CssForm::Name)
                        report(c, cssFormKey(form) + QStringLiteral(" missing"));
                    else if (text && parseCssColor(*text) != c)
                        report(c, *text);
                }
                if (c % 4099 == 0) {
                    for (const CssFormText& text : cssTexts(c)) {
                        if (cssText(c, text.form) != text.text)
                            report(c, QStringLiteral("cssTexts: ") + text.text);
                    }
                }
            }
        };
        std::vector<std::thread> pool;
        for (int t = 0; t < threads; ++t)
            pool.emplace_back(check, t);
        for (std::thread& thread : pool)
            thread.join();
        QCOMPARE(reported, QStringList());
        QCOMPARE(failures, 0);
    }
};

QTEST_APPLESS_MAIN(TestCssForms)
#include "tst_cssforms.moc"
