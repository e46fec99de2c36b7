#include "ColorReadout.h"
#include "ColorRecord.h"

#include <QtTest>

using namespace tintaro;

class TestColorValue : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The stored value's digits (BBGGRR), then the readout of the colour whose
    // decimal triple it shows.
    void forms_data()
    {
        QTest::addColumn<QString>("forms");
        QTest::newRow("mint") << "CCFF80 #80FFCC 128,255,204 128 80 255 FF 204 CC";
        QTest::newRow("copy menu") << "78FF9B #9BFF78 155,255,120 155 9B 255 FF 120 78";
        QTest::newRow("zero-filled") << "000A05 #050A00 5,10,0 005 05 010 0A 000 00";
    }

    void forms()
    {
        QFETCH(QString, forms);
        const QStringList rgb = forms.section(' ', 2, 2).split(',');
        const QColor color(rgb[0].toInt(), rgb[1].toInt(), rgb[2].toInt());
        const ColorValue c = makeColor(color.red(), color.green(), color.blue());
        const auto readout = ColorReadout::of(c).inFillOrder();
        QCOMPARE(QString::number(c, 16).toUpper().rightJustified(6, '0') + ' ' +
                     QStringList(readout.begin(), readout.end()).join(' '),
                 forms);
        QCOMPARE(ColorToBgrHex(c), forms.left(6));
        QCOMPARE(toQColor(c), color);
        QCOMPARE(fromQColor(color), c);
    }

    // Six hexadecimal digits: BBGGRR as text and as bytes, RRGGBB as a record
    // of a colour file, whose letter case counts when records are compared.
    void readBack_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value"); // -1: no colour

        QTest::newRow("upper") << "CCFF80" << 0xCCFF80;
        QTest::newRow("mixed case") << "cCfF80" << 0xCCFF80;
        QTest::newRow("five digits") << "FFFFF" << -1;
        QTest::newRow("seven digits") << "FFFFFF0" << -1;
        QTest::newRow("leading blank") << " FFFFF" << -1;
        QTest::newRow("letter past F") << "FFFFFG" << -1;
        QTest::newRow("sign") << "-00010" << -1;
        QTest::newRow("0x prefix") << "0x1234" << -1;
        QTest::newRow("&h prefix") << "&hFFFF" << -1;
        QTest::newRow("zero byte") << QString::fromLatin1("12345\0", 6) << -1;
        QTest::newRow("high byte") << QChar(0xE9) + QString("00000") << -1;
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

    // Every 24-bit value survives storage: as BBGGRR text, and as a record,
    // which holds the digits of its "#RRGGBB" form.
    void everyValueRoundTrips()
    {
        int failures = 0;
        for (ColorValue c = 0; c <= 0xFFFFFF; ++c) {
            const QString bgr = ColorToBgrHex(c);
            const QString html = ColorToHtml(c);
            const ColorRecord record = ColorRecord::fromColor(c);
            const bool ok =
                BgrHexToColor(QStringView(bgr)) == c && record.toColor() == c && html[0] == '#' &&
                QStringView(html).mid(1, 2) == QStringView(bgr).mid(4, 2) &&
                QStringView(html).mid(3, 2) == QStringView(bgr).mid(2, 2) &&
                QStringView(html).mid(5, 2) == QStringView(bgr).mid(0, 2) &&
                QLatin1String(record.bytes.data(), ColorRecord::kSize) == QStringView(html).mid(1);
            if (!ok && ++failures < 5)
                qWarning("value %06X: bgr %s html %s", c, qPrintable(bgr), qPrintable(html));
        }
        QCOMPARE(failures, 0);
    }
};

QTEST_APPLESS_MAIN(TestColorValue)
#include "tst_colorvalue.moc"
