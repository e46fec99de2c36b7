#include "CodeTexts.h"

#include <QTest>

using namespace tintaro;

namespace {

using Colors = ColorSetRecord::Colors;

const Colors kInitial{kBlack, kWhite, kBlack, kBlack, kBlack, kBlack};

Colors with(Colors scheme, ColorSetRecord::Field field, ColorValue c)
{
    scheme[std::size_t(field)] = c;
    return scheme;
}

QStringList linesOf(const QString& text)
{
    return text.split(QStringLiteral("\r\n"));
}

} // namespace

class TestCodeTexts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void texts_data();
    void texts();
    void oneColourChanged_data();
    void oneColourChanged();
};

void TestCodeTexts::texts_data()
{
    QTest::addColumn<Colors>("scheme");
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("external");
    QTest::addColumn<QString>("inline_");

    QTest::newRow("initial scheme")
        << kInitial
        << "<body BGCOLOR=\"#FFFFFF\" TEXT=\"#000000\" LINK=\"#000000\" VLINK=\"#000000\" "
           "ALINK=\"#000000\">"
        << "a:link {color:#000000;}\r\n"
           "a:visited {color:#000000;}\r\n"
           "a:active {color:#000000;}\r\n"
           "a:hover {color:#000000;}\r\n"
           "body {background-color:#FFFFFF; color:#000000;}"
        << "<style type=\"text/css\">\r\n"
           "<!--\r\n"
           "a:link {color:#000000;}\r\n"
           "a:visited {color:#000000;}\r\n"
           "a:active {color:#000000;}\r\n"
           "a:hover {color:#000000;}\r\n"
           "body {background-color:#FFFFFF; color:#000000;}\r\n"
           "-->\r\n"
           "</style>";
    QTest::newRow("background 128,255,204")
        << with(kInitial, ColorSetRecord::Background, makeColor(128, 255, 204))
        << "<body BGCOLOR=\"#80FFCC\" TEXT=\"#000000\" LINK=\"#000000\" VLINK=\"#000000\" "
           "ALINK=\"#000000\">"
        << "a:link {color:#000000;}\r\n"
           "a:visited {color:#000000;}\r\n"
           "a:active {color:#000000;}\r\n"
           "a:hover {color:#000000;}\r\n"
           "body {background-color:#80FFCC; color:#000000;}"
        << "<style type=\"text/css\">\r\n"
           "<!--\r\n"
           "a:link {color:#000000;}\r\n"
           "a:visited {color:#000000;}\r\n"
           "a:active {color:#000000;}\r\n"
           "a:hover {color:#000000;}\r\n"
           "body {background-color:#80FFCC; color:#000000;}\r\n"
           "-->\r\n"
           "</style>";
}

void TestCodeTexts::texts()
{
    QFETCH(Colors, scheme);
    QFETCH(QString, body);
    QFETCH(QString, external);
    QFETCH(QString, inline_);

    QCOMPARE(CodeTexts::bodyTag(scheme), body);
    const QString css = CodeTexts::externalCss(scheme);
    QCOMPARE(css, external);
    QCOMPARE(CodeTexts::inlineCss(css), inline_);
    QCOMPARE(linesOf(CodeTexts::inlineCss(css)).mid(2, 5), linesOf(css));
    QCOMPARE(linesOf(css).size(), 5);
    QVERIFY(!CodeTexts::bodyTag(scheme).contains(QLatin1Char('\n')));
    // The first line of the style block is 23 characters long.
    QCOMPARE(linesOf(CodeTexts::inlineCss(css)).constFirst().size(), 23);
}

void TestCodeTexts::oneColourChanged_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("attribute");        // where the body tag shows it, if anywhere
    QTest::addColumn<QList<int>>("externalLines"); // 1-based lines that change
    QTest::addColumn<QList<int>>("inlineLines");

    QTest::newRow("text") << int(ColorSetRecord::Text) << "TEXT" << QList<int>{5} << QList<int>{7};
    QTest::newRow("background") << int(ColorSetRecord::Background) << "BGCOLOR" << QList<int>{5}
                                << QList<int>{7};
    QTest::newRow("normal link") << int(ColorSetRecord::NormalLink) << " LINK" << QList<int>{1}
                                 << QList<int>{3};
    QTest::newRow("visited link") << int(ColorSetRecord::VisitedLink) << "VLINK" << QList<int>{2}
                                  << QList<int>{4};
    QTest::newRow("active link") << int(ColorSetRecord::ActiveLink) << "ALINK" << QList<int>{3}
                                 << QList<int>{5};
    QTest::newRow("hover link: no place in the body tag")
        << int(ColorSetRecord::HoverLink) << "" << QList<int>{4} << QList<int>{6};
}

void TestCodeTexts::oneColourChanged()
{
    QFETCH(int, field);
    QFETCH(QString, attribute);
    QFETCH(QList<int>, externalLines);
    QFETCH(QList<int>, inlineLines);

    const Colors before = kInitial;
    const Colors after = with(before, ColorSetRecord::Field(field), makeColor(0x12, 0x34, 0x56));
    QCOMPARE(CodeTexts::bodyTag(after) != CodeTexts::bodyTag(before), !attribute.isEmpty());
    if (!attribute.isEmpty())
        QVERIFY(CodeTexts::bodyTag(after).contains(attribute + QLatin1String("=\"#123456\"")));

    const auto changedLines = [](const QString& a, const QString& b) {
        const QStringList x = linesOf(a);
        const QStringList y = linesOf(b);
        QList<int> changed;
        for (int i = 0; i < qMax(x.size(), y.size()); ++i)
            if (x.value(i) != y.value(i))
                changed << i + 1;
        return changed;
    };
    const QString cssBefore = CodeTexts::externalCss(before);
    const QString cssAfter = CodeTexts::externalCss(after);
    QCOMPARE(changedLines(cssBefore, cssAfter), externalLines);
    QCOMPARE(changedLines(CodeTexts::inlineCss(cssBefore), CodeTexts::inlineCss(cssAfter)),
             inlineLines);
    QVERIFY(
        linesOf(cssAfter).at(externalLines.constFirst() - 1).contains(QLatin1String("#123456")));
}

QTEST_APPLESS_MAIN(TestCodeTexts)
#include "tst_codetexts.moc"
