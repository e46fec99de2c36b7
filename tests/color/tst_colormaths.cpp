#include "ColorVision.h"
#include "Contrast.h"
#include "NearestPassing.h"
#include "OkLab.h"

#include <QtTest>

#include <cmath>

using namespace tintaro;

namespace {

// Colours in the tables are written as they are shown, 0xRRGGBB.
ColorValue rgb(int hex)
{
    return makeColor(hex >> 16, hex >> 8, hex);
}
ColorValue grey(int level)
{
    return makeColor(level, level, level);
}

} // namespace

class TestColorMaths : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Well-known WCAG figures. The text is cut, never rounded up: red on white
    // is 3.998, and must not read "4.00".
    void contrast_data()
    {
        QTest::addColumn<int>("fg");
        QTest::addColumn<int>("bg");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("required");
        QTest::addColumn<bool>("passing");
        QTest::newRow("#767676, AA") << 0x767676 << 0xFFFFFF << "4.54" << kAaNormal << true;
        QTest::newRow("#767676, AAA") << 0x767676 << 0xFFFFFF << "4.54" << kAaaNormal << false;
        QTest::newRow("#777777, AA") << 0x777777 << 0xFFFFFF << "4.47" << kAaNormal << false;
        QTest::newRow("#777777, AA large") << 0x777777 << 0xFFFFFF << "4.47" << kAaLarge << true;
        QTest::newRow("red, link") << 0xFF0000 << 0xFFFFFF << "3.99" << kLinkAgainstText << true;
        QTest::newRow("red, AAA large") << 0xFF0000 << 0xFFFFFF << "3.99" << kAaaLarge << false;
        QTest::newRow("blue on black") << 0x0000FF << 0x000000 << "2.44" << kAaLarge << false;
        QTest::newRow("black on white") << 0x000000 << 0xFFFFFF << "21.00" << kAaaNormal << true;
        QTest::newRow("white on white") << 0xFFFFFF << 0xFFFFFF << "1.00" << 1.0 << true;
    }
    void contrast()
    {
        QFETCH(int, fg);
        QFETCH(int, bg);
        QFETCH(QString, text);
        QFETCH(double, required);
        QFETCH(bool, passing);
        const double ratio = contrastRatio(rgb(fg), rgb(bg));
        QCOMPARE(contrastRatio(rgb(bg), rgb(fg)), ratio);
        QCOMPARE(tintaro::ratioText(ratio), text);
        QCOMPARE(passes(ratio, required), passing);
    }

    // A ratio exact to the hundredth shows itself, whatever its binary error
    // (1.15 is held as 1.1499...).
    void exactRatios()
    {
        for (int n = 100; n <= 2100; ++n)
            QCOMPARE(tintaro::ratioText(n / 100.0),
                     QStringLiteral("%1.%2").arg(n / 100).arg(n % 100, 2, 10, QLatin1Char('0')));
    }

    // Published OKLab values and hues; black to each is its distance from the
    // origin. edge: the colour has the most chroma at its lightness and hue.
    void okLab_data()
    {
        QTest::addColumn<int>("color");
        QTest::addColumn<double>("L");
        QTest::addColumn<double>("a");
        QTest::addColumn<double>("b");
        QTest::addColumn<double>("h"); // not checked for greys
        QTest::addColumn<bool>("edge");
        QTest::newRow("white") << 0xFFFFFF << 1.0 << 0.0 << 0.0 << 0.0 << true;
        QTest::newRow("#808080") << 0x808080 << 0.59987 << 0.0 << 0.0 << 0.0 << false;
        QTest::newRow("red") << 0xFF0000 << 0.62796 << 0.22486 << 0.12585 << 29.234 << true;
        QTest::newRow("green") << 0x00FF00 << 0.86644 << -0.23389 << 0.17950 << 142.495 << true;
        // A corner too, but the line of its hue bends out of the gamut and only touches it.
        QTest::newRow("blue") << 0x0000FF << 0.45201 << -0.03246 << -0.31153 << 264.052 << false;
    }
    void okLab()
    {
        QFETCH(int, color);
        QFETCH(double, L);
        QFETCH(double, a);
        QFETCH(double, b);
        QFETCH(double, h);
        QFETCH(bool, edge);
        const OkLab lab = toOkLab(rgb(color));
        QVERIFY(std::hypot(lab.L - L, lab.a - a, lab.b - b) < 1e-4);
        const OkLch lch = toOkLch(rgb(color));
        QVERIFY(std::abs(lch.C - std::hypot(a, b)) < 1e-4);
        QVERIFY(lch.C < 1e-4 || std::abs(lch.h - h) < 1e-2);
        QCOMPARE(toColor(fromOkLch(lch)), rgb(color));
        QVERIFY(std::abs(deltaE(kBlack, rgb(color)) - std::hypot(L, a, b)) < 1e-4);
        QVERIFY(!edge || std::abs(maxChroma(lch.L, lch.h) - lch.C) < 1e-5);
        QVERIFY(!edge || !inGamut(fromOkLch({lch.L, lch.C + 1e-3, lch.h})));
    }

    // Every 8-bit colour lies in the gamut and comes back exactly.
    void roundTrip()
    {
        int failures = 0;
        for (ColorValue c = 0; c <= 0xFFFFFF; ++c) {
            const OkLab lab = toOkLab(c);
            if ((toColor(lab) != c || !inGamut(lab)) && ++failures < 5)
                qWarning("%s", qPrintable(ColorToHtml(c)));
        }
        QCOMPARE(failures, 0);
    }

    // Greys look the same to everyone. Each deficiency merges a pair it is known
    // for (to under 0.3 of the normal difference) and leaves another (over 0.7).
    void vision_data()
    {
        QTest::addColumn<int>("deficiency");
        QTest::addColumn<int>("merged1");
        QTest::addColumn<int>("merged2");
        QTest::addColumn<int>("kept1");
        QTest::addColumn<int>("kept2");
        QTest::newRow("protanopia")
            << int(Deficiency::Protanopia) << 0xFF0000 << 0x006400 << 0x0000FF << 0x008000;
        QTest::newRow("deuteranopia")
            << int(Deficiency::Deuteranopia) << 0xB22222 << 0x008000 << 0x0000FF << 0x008000;
        QTest::newRow("tritanopia")
            << int(Deficiency::Tritanopia) << 0x0000FF << 0x008000 << 0xFF0000 << 0x006400;
        // Red and a green of the same luminance.
        QTest::newRow("achromatopsia")
            << int(Deficiency::Achromatopsia) << 0xFF0000 << 0x009400 << 0x0000FF << 0xFFFF00;
    }
    void vision()
    {
        QFETCH(int, deficiency);
        QFETCH(int, merged1);
        QFETCH(int, merged2);
        QFETCH(int, kept1);
        QFETCH(int, kept2);
        const auto d = Deficiency(deficiency);
        QCOMPARE(deficiencyName(d), QString::fromLatin1(QTest::currentDataTag()));
        for (int level = 0; level < 256; ++level)
            QCOMPARE(simulate(grey(level), d), grey(level));
        const auto seen = [d](int a, int b) {
            return deltaE(simulate(rgb(a), d), simulate(rgb(b), d)) / deltaE(rgb(a), rgb(b));
        };
        QVERIFY(seen(merged1, merged2) < 0.3);
        QVERIFY(seen(kept1, kept2) > 0.7);
    }

    // Without colour vision only luminance is left: a grey between the greys a
    // level darker and a level lighter.
    void achromatopsiaKeepsLuminance()
    {
        for (ColorValue c = 0; c <= 0xFFFFFF; c += 997) {
            const ColorValue seen = simulate(c, Deficiency::Achromatopsia);
            const int level = GetRed(seen);
            QCOMPARE(seen, grey(level));
            QVERIFY(relativeLuminance(grey(std::max(level - 1, 0))) <= relativeLuminance(c));
            QVERIFY(relativeLuminance(grey(std::min(level + 1, 255))) >= relativeLuminance(c));
        }
    }

    // Against every lightness along the same path in steps of 1e-4: the result
    // passes, none is clearly nearer, and it keeps the hue and what chroma sRGB
    // allows. expected: a known answer, "none", or "" for the comparison alone.
    void nearestPassing_data()
    {
        QTest::addColumn<int>("color");
        QTest::addColumn<int>("against");
        QTest::addColumn<double>("required");
        QTest::addColumn<QString>("expected");
        QTest::newRow("#777777 on white, AA") << 0x777777 << 0xFFFFFF << kAaNormal << "#767676";
        QTest::newRow("passes already") << 0x0000FF << 0xFFFFFF << kAaNormal << "#0000FF";
        // White gives 4.54 and black 4.62, but #FEFEFE is nearer than #040404.
        QTest::newRow("#767676 on itself, AA") << 0x767676 << 0x767676 << kAaNormal << "#FEFEFE";
        QTest::newRow("red on #777777, 21") << 0xFF0000 << 0x777777 << 21.0 << "none";
        QTest::newRow("red on white, AA") << 0xFF0000 << 0xFFFFFF << kAaNormal << "";
        QTest::newRow("green on white, AAA") << 0x00FF00 << 0xFFFFFF << kAaaNormal << "";
        QTest::newRow("yellow on white, AA") << 0xFFFF00 << 0xFFFFFF << kAaNormal << "";
        QTest::newRow("blue on black, AA") << 0x0000FF << 0x000000 << kAaNormal << "";
        QTest::newRow("orchid on black, AAA") << 0x9932CC << 0x000000 << kAaaNormal << "";
        // Deep blues lose chroma unevenly: the edge first found is not the nearest.
        QTest::newRow("deep blue on teal, AA") << 0x0020CA << 0x54A7B4 << kAaNormal << "";
    }
    void nearestPassing()
    {
        QFETCH(int, color);
        QFETCH(int, against);
        QFETCH(double, required);
        QFETCH(QString, expected);
        const OkLch from = toOkLch(rgb(color));
        double bestStep = 2;
        ColorValue best = -1;
        for (int i = 0; i <= 10000; ++i) {
            const double L = i / 10000.0;
            const double C = std::min(from.C, maxChroma(L, from.h));
            const ColorValue c = toColor(fromOkLch({L, C, from.h}));
            if (passes(contrastRatio(c, rgb(against)), required) &&
                std::abs(L - from.L) < bestStep) {
                bestStep = std::abs(L - from.L);
                best = c;
            }
        }
        const auto found = tintaro::nearestPassing(rgb(color), rgb(against), required);
        QCOMPARE(found.has_value(), best >= 0);
        if (!expected.isEmpty())
            QCOMPARE(found ? ColorToHtml(*found) : QStringLiteral("none"), expected);
        if (!found)
            return;
        QVERIFY(passes(contrastRatio(*found, rgb(against)), required));
        const OkLch to = toOkLch(*found);
        QVERIFY(std::abs(to.L - from.L) <= std::abs(toOkLch(best).L - from.L) + 1e-3);
        QVERIFY(to.C < from.C + 0.01);
        QVERIFY(to.C > std::min(from.C, maxChroma(to.L, from.h)) - 0.01);
        QVERIFY(to.C < 0.05 || std::abs(std::remainder(to.h - from.h, 360.0)) < 3);
    }
};

QTEST_APPLESS_MAIN(TestColorMaths)
#include "tst_colormaths.moc"
