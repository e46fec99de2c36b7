#include "ColorRecord.h"

#include <QTest>

using namespace tintaro;

class TestColorRecord : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void toColor_data();
    void toColor();
    void fromColor_data();
    void fromColor();
    void equality_data();
    void equality();
};

void TestColorRecord::toColor_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("color");

    QTest::newRow("red 10 green 11 blue 12") << QByteArray("0A0B0C") << true << 0x000C0B0A;
    QTest::newRow("80FFCC") << QByteArray("80FFCC") << true << 0x00CCFF80;
    QTest::newRow("upper case") << QByteArray("FF8000") << true << 0x000080FF;
    QTest::newRow("lower case") << QByteArray("ff8000") << true << 0x000080FF;
    QTest::newRow("mixed case") << QByteArray("aBcDeF") << true << 0x00EFCDAB;
    QTest::newRow("black") << QByteArray("000000") << true << 0;
    QTest::newRow("white") << QByteArray("FFFFFF") << true << 0xFFFFFF;
    QTest::newRow("letter past F") << QByteArray("GG0000") << false << 0;
    QTest::newRow("blank inside") << QByteArray("12 456") << false << 0;
    QTest::newRow("leading sign") << QByteArray("-12345") << false << 0;
    QTest::newRow("zero byte") << QByteArray("12345\0", 6) << false << 0;
    QTest::newRow("hex prefix") << QByteArray("0x1234") << false << 0;
    QTest::newRow("high byte") << QByteArray("\xC3\xA9"
                                             "0000",
                                             6)
                               << false << 0;
}

void TestColorRecord::toColor()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, valid);
    QFETCH(int, color);

    const std::optional<ColorValue> value = ColorRecord::fromBytes(bytes.constData()).toColor();
    QCOMPARE(value.has_value(), valid);
    if (valid)
        QCOMPARE(*value, color);
}

void TestColorRecord::fromColor_data()
{
    QTest::addColumn<int>("color");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("picked orange") << 0x000080FF << QByteArray("FF8000");
    QTest::newRow("zero-filled fields") << 0x000C0B0A << QByteArray("0A0B0C");
    QTest::newRow("80FFCC") << 0x00CCFF80 << QByteArray("80FFCC");
    QTest::newRow("black") << 0 << QByteArray("000000");
    QTest::newRow("white") << 0xFFFFFF << QByteArray("FFFFFF");
    QTest::newRow("top byte ignored") << 0x12345678 << QByteArray("785634");
}

void TestColorRecord::fromColor()
{
    QFETCH(int, color);
    QFETCH(QByteArray, bytes);

    const ColorRecord record = ColorRecord::fromColor(color);
    QCOMPARE(QByteArray(record.bytes.data(), ColorRecord::kSize), bytes);
    QCOMPARE(record.toColor().value_or(-1), color & 0xFFFFFF);
}

void TestColorRecord::equality_data()
{
    QTest::addColumn<QByteArray>("left");
    QTest::addColumn<QByteArray>("right");
    QTest::addColumn<bool>("equal");

    QTest::newRow("same digits") << QByteArray("FF0000") << QByteArray("FF0000") << true;
    QTest::newRow("other colour") << QByteArray("FF0000") << QByteArray("00FF00") << false;
    QTest::newRow("letter case counts") << QByteArray("ff0000") << QByteArray("FF0000") << false;
    QTest::newRow("last byte differs") << QByteArray("FF0000") << QByteArray("FF0001") << false;
    QTest::newRow("damaged alike")
        << QByteArray("ZZ\0\0!!", 6) << QByteArray("ZZ\0\0!!", 6) << true;
}

void TestColorRecord::equality()
{
    QFETCH(QByteArray, left);
    QFETCH(QByteArray, right);
    QFETCH(bool, equal);

    const ColorRecord a = ColorRecord::fromBytes(left.constData());
    const ColorRecord b = ColorRecord::fromBytes(right.constData());
    QCOMPARE(a == b, equal);
    QCOMPARE(a != b, !equal);
}

QTEST_APPLESS_MAIN(TestColorRecord)
#include "tst_colorrecord.moc"
