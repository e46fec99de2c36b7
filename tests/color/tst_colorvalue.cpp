#include "ColorRecord.h"

#include <QtTest>

#include <cmath>

using namespace tintaro;

class TestColorValue : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Six digits read back as BBGGRR text and bytes, and as an RRGGBB record
    // whose letter case counts when records are compared; -1: no colour.
    void readBack_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::newRow("mixed case") << "cCfF80" << 0xCCFF80;
        QTest::newRow("five digits") << "FFFFF" << -1;
        QTest::newRow("seven digits") << "FFFFFF0" << -1;
        QTest::newRow("letter past F") << "FFFFFG" << -1;
        QTest::newRow("sign") << "-00010" << -1;
        QTest::newRow("0x prefix") << "0x1234" << -1;
        QTest::newRow("zero byte") << QString::fromLatin1("12345\0", 6) << -1;
        QTest::newRow("non-ASCII digits") << QString::fromUtf8("１２３４５６") << -1;
    }
    void readBack()
    {
        QFETCH(QString, text);
        QFETCH(int, value);
        QCOMPARE(BgrHexToColor(QStringView(text)).value_or(-1), value);
        const QByteArray bytes = text.toLatin1();
        QCOMPARE(BgrHexToColor(bytes.constData(), int(bytes.size())).value_or(-1), value);
        if (bytes.size() != ColorRecord::kSize)
            return;
        const ColorRecord record = ColorRecord::fromBytes(bytes.constData());
        QCOMPARE(record.toColor().value_or(-1),
                 value < 0 ? -1 : makeColor(value >> 16, value >> 8, value));
        QCOMPARE(record == ColorRecord::fromBytes(bytes.toUpper().constData()),
                 bytes == bytes.toUpper());
    }

    // Components in 0..1 from a desktop service: every level comes back from
    // anywhere within half a step of it, each component in its own place.
    void fromUnit_data()
    {
        QTest::addColumn<double>("offset");  // in steps of 1/255 from each level
        QTest::addColumn<double>("outside"); // added to the first and last level only
        QTest::newRow("on the level") << 0.0 << 0.0;
        QTest::newRow("just under half a step above") << 0.4999 << 0.0;
        QTest::newRow("just under half a step below") << -0.4999 << 0.0;
        QTest::newRow("beyond the ends") << 0.0 << 0.5;
    }
    void fromUnit()
    {
        QFETCH(double, offset);
        QFETCH(double, outside);
        const auto unit = [&](int level) {
            return (level + offset) / 255.0 + (level == 0 ? -outside : level == 255 ? outside : 0);
        };
        for (int n = 0; n < 256; ++n)
            QCOMPARE(colorFromUnit(unit(n), unit(255 - n), unit(n / 2)),
                     makeColor(n, 255 - n, n / 2));
        QCOMPARE(colorFromUnit(std::nan(""), 2.0, -1.0), makeColor(0, 255, 0));
    }

    // Every 24-bit value survives storage.
    void everyValue()
    {
        int failures = 0;
        for (ColorValue c = 0; c <= 0xFFFFFF; ++c) {
            const QString bgr = ColorToBgrHex(c);
            const QString html = ColorToHtml(c);
            const ColorRecord record = ColorRecord::fromColor(c);
            const bool ok = BgrHexToColor(QStringView(bgr)) == c && record.toColor() == c &&
                            html.mid(1) == bgr.mid(4, 2) + bgr.mid(2, 2) + bgr.left(2) &&
                            QLatin1String(record.bytes.data(), 6) == html.mid(1);
            if (!ok && ++failures < 5)
                qWarning("value %06X: bgr %s html %s", c, qPrintable(bgr), qPrintable(html));
        }
        QCOMPARE(failures, 0);
    }
};

QTEST_APPLESS_MAIN(TestColorValue)
#include "tst_colorvalue.moc"
