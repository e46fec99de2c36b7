#include "ColorReadout.h"
#include "ColorValue.h"

#include <QtTest>

using namespace tintaro;

class TestColorValue : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void forms_data();
    void forms();
    void readBack_data();
    void readBack();
    void everyValueRoundTrips();
    void qcolorConversion();
};

void TestColorValue::forms_data()
{
    QTest::addColumn<int>("red");
    QTest::addColumn<int>("green");
    QTest::addColumn<int>("blue");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("bgr");
    QTest::addColumn<QStringList>("readout"); // txtrgb, txtrgb1, txtr, txtrh, txtg, txtgh, txtb, txtbh

    QTest::newRow("black") << 0 << 0 << 0 << 0 << "000000"
                           << QStringList{"#000000", "0,0,0", "000", "00", "000", "00", "000", "00"};
    QTest::newRow("white") << 255 << 255 << 255 << 16777215 << "FFFFFF"
                           << QStringList{"#FFFFFF", "255,255,255", "255", "FF", "255", "FF", "255", "FF"};
    QTest::newRow("mint") << 128 << 255 << 204 << 13434752 << "CCFF80"
                          << QStringList{"#80FFCC", "128,255,204", "128", "80", "255", "FF", "204", "CC"};
    QTest::newRow("small components zero-filled") << 5 << 10 << 0 << 0x000A05 << "000A05"
        << QStringList{"#050A00", "5,10,0", "005", "05", "010", "0A", "000", "00"};
    QTest::newRow("55 is 37 in hex") << 55 << 55 << 55 << 0x373737 << "373737"
        << QStringList{"#373737", "55,55,55", "055", "37", "055", "37", "055", "37"};
    QTest::newRow("copy menu example") << 155 << 255 << 120 << 0x78FF9B << "78FF9B"
        << QStringList{"#9BFF78", "155,255,120", "155", "9B", "255", "FF", "120", "78"};
    QTest::newRow("channels are not swapped") << 1 << 2 << 3 << 0x030201 << "030201"
        << QStringList{"#010203", "1,2,3", "001", "01", "002", "02", "003", "03"};
}

void TestColorValue::forms()
{
    QFETCH(int, red);
    QFETCH(int, green);
    QFETCH(int, blue);
    QFETCH(int, value);
    QFETCH(QString, bgr);
    QFETCH(QStringList, readout);

    const ColorValue c = makeColor(red, green, blue);
    QCOMPARE(c, value);
    QCOMPARE(GetRed(c), red);
    QCOMPARE(GetGreen(c), green);
    QCOMPARE(GetBlue(c), blue);
    QCOMPARE(ColorToBgrHex(c), bgr);
    QCOMPARE(ColorToHtml(c), readout.at(0));

    const ColorReadout r = ColorReadout::of(c);
    const auto texts = r.inFillOrder();
    QCOMPARE(QStringList(texts.begin(), texts.end()), readout);
}

void TestColorValue::readBack_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("value");

    QTest::newRow("upper") << "CCFF80" << true << 0xCCFF80;
    QTest::newRow("lower") << "ccff80" << true << 0xCCFF80;
    QTest::newRow("mixed") << "cCfF80" << true << 0xCCFF80;
    QTest::newRow("white") << "FFFFFF" << true << 16777215;
    QTest::newRow("black") << "000000" << true << 0;
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("five digits") << "FFFFF" << false << 0;
    QTest::newRow("seven digits") << "FFFFFF0" << false << 0;
    QTest::newRow("blank inside") << "FF FFF" << false << 0;
    QTest::newRow("leading blank") << " FFFFF" << false << 0;
    QTest::newRow("letter past F") << "FFFFFG" << false << 0;
    QTest::newRow("sign") << "-00001" << false << 0;
    QTest::newRow("prefix") << "&hFFFF" << false << 0;
    QTest::newRow("non-ASCII digit") << QString::fromUtf8("ＦＦＦＦＦＦ") << false << 0;
}

void TestColorValue::readBack()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(int, value);

    const auto fromText = BgrHexToColor(QStringView(text));
    const QByteArray latin = text.toLatin1();
    const auto fromBytes = BgrHexToColor(latin.constData(), int(latin.size()));
    QCOMPARE(fromText.has_value(), valid);
    if (valid) {
        QCOMPARE(*fromText, value);
        QCOMPARE(*fromBytes, value);
    } else if (text.size() == latin.size()) {
        QVERIFY(!fromBytes.has_value());
    }
}

// Every 24-bit value survives storage and reads back; the HTML form is the
// storage form's pairs in reverse order.
void TestColorValue::everyValueRoundTrips()
{
    int failures = 0;
    for (ColorValue c = 0; c <= 0xFFFFFF; ++c) {
        const QString bgr = ColorToBgrHex(c);
        const QString html = ColorToHtml(c);
        const auto back = BgrHexToColor(QStringView(bgr));
        const bool ok = back && *back == c && html.size() == 7 && html[0] == QLatin1Char('#') &&
                        QStringView(html).mid(1, 2) == QStringView(bgr).mid(4, 2) &&
                        QStringView(html).mid(3, 2) == QStringView(bgr).mid(2, 2) &&
                        QStringView(html).mid(5, 2) == QStringView(bgr).mid(0, 2);
        if (!ok && ++failures < 5)
            qWarning("value %06X: bgr %s html %s", c, qPrintable(bgr), qPrintable(html));
    }
    QCOMPARE(failures, 0);
}

void TestColorValue::qcolorConversion()
{
    const ColorValue mint = 0xCCFF80;
    const QColor q = toQColor(mint);
    QCOMPARE(q.red(), 128);
    QCOMPARE(q.green(), 255);
    QCOMPARE(q.blue(), 204);
    QCOMPARE(fromQColor(q), mint);
    QCOMPARE(fromQColor(QColor(Qt::white)), kWhite);
}

QTEST_APPLESS_MAIN(TestColorValue)
#include "tst_colorvalue.moc"
