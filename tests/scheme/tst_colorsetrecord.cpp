#include "ColorSetRecord.h"

#include <QTest>

using namespace tintaro;

class TestColorSetRecord : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fields_data();
    void fields();
};

void TestColorSetRecord::fields_data()
{
    QTest::addColumn<QByteArray>("bytes");
    // Each field as "RRGGBB", the form people read, or "-" for no colour.
    QTest::addColumn<QStringList>("fields");

    QTest::newRow("initial scheme: black on white")
        << QByteArray("000000FFFFFF000000000000000000000000")
        << QStringList{"000000", "FFFFFF", "000000", "000000", "000000", "000000"};
    QTest::newRow("blue first, red last, each field its place")
        << QByteArray("CCFF80030201000000FFFFFF0000FF00FF00")
        << QStringList{"80FFCC", "010203", "000000", "FFFFFF", "FF0000", "00FF00"};
    QTest::newRow("lower case digits read too")
        << QByteArray("ccff80030201000000ffffff0000ff00ff00")
        << QStringList{"80FFCC", "010203", "000000", "FFFFFF", "FF0000", "00FF00"};
    QTest::newRow("damaged fields, the others kept")
        << QByteArray("CCFF80 30201+00000FFFFFF0x00FF00FF0z")
        << QStringList{"80FFCC", "-", "-", "FFFFFF", "-", "-"};
    QTest::newRow("zero bytes") << QByteArray(36, '\0') << QStringList(6, QStringLiteral("-"));
    QTest::newRow("cut short: only whole fields")
        << QByteArray("CCFF80030201000") << QStringList{"80FFCC", "010203", "-", "-", "-", "-"};
    QTest::newRow("nothing at all") << QByteArray() << QStringList(6, QStringLiteral("-"));
    QTest::newRow("longer: the rest is not part of it")
        << QByteArray("CCFF80030201000000FFFFFF0000FF00FF00ABCDEF")
        << QStringList{"80FFCC", "010203", "000000", "FFFFFF", "FF0000", "00FF00"};
}

void TestColorSetRecord::fields()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, fields);

    const ColorSetRecord record = ColorSetRecord::fromBytes(bytes);
    QCOMPARE(record.bytes(), bytes.left(36) + QByteArray(qMax(0, 36 - int(bytes.size())), ' '));
    ColorSetRecord::Colors colors{};
    bool whole = true;
    for (int f = 0; f < ColorSetRecord::kFieldCount; ++f) {
        const std::optional<ColorValue> c = record.color(ColorSetRecord::Field(f));
        QCOMPARE(c ? ColorToHtml(*c).mid(1) : QStringLiteral("-"), fields.at(f));
        colors[std::size_t(f)] = c.value_or(0);
        whole = whole && c;
    }
    QVERIFY(!record.color(ColorSetRecord::kFieldCount));
    // Whole records write back as upper-case digits in the same places.
    if (whole)
        QCOMPARE(ColorSetRecord::fromColors(colors).bytes(), bytes.left(36).toUpper());
}

QTEST_APPLESS_MAIN(TestColorSetRecord)
#include "tst_colorsetrecord.moc"
