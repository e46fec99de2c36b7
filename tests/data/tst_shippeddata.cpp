// The files that ship with the program: byte formats, agreement with the
// program's own readers, legibility of the shipped colour sets, and the
// self-containedness of the help page and the desktop files.

#include "ColorRecord.h"
#include "ColorValue.h"
#include "PaletteFile.h"
#include "SetNameFile.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <QTest>
#include <QXmlStreamReader>

#include <cmath>

using namespace tintaro;

namespace {

QString shippedPath(const QString& name)
{
    return QStringLiteral(TINTARO_SHIPPED_DATA_DIR) + QLatin1Char('/') + name;
}

QByteArray shipped(const QString& name)
{
    QFile file(shippedPath(name));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

bool isUpperHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

int hexValue(const QByteArray& digits)
{
    bool ok = false;
    const int value = digits.toInt(&ok, 16);
    return ok ? value : -1;
}

// The lines of "set.dat" without their CR LF; `complete` tells whether the
// file ends with a line end.
QList<QByteArray> setLines(bool* complete = nullptr)
{
    QByteArray bytes = shipped(QStringLiteral("set.dat"));
    const bool endsWithLineEnd = bytes.endsWith("\r\n");
    if (complete)
        *complete = endsWithLineEnd;
    if (endsWithLineEnd)
        bytes.chop(2);
    if (bytes.isEmpty())
        return {};
    return bytes.split('\n'); // the CR stays on every line but the last
}

int setCount()
{
    return int(setLines().size());
}

// WCAG 2 relative luminance and contrast ratio.
double luminance(ColorValue c)
{
    auto channel = [](int component) {
        const double s = component / 255.0;
        return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(GetRed(c)) + 0.7152 * channel(GetGreen(c)) +
           0.0722 * channel(GetBlue(c));
}

double contrast(ColorValue a, ColorValue b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Key=value lines of the [Desktop Entry] group.
QHash<QString, QString> desktopEntry()
{
    QHash<QString, QString> entries;
    bool inGroup = false;
    const QList<QByteArray> lines =
        shipped(QStringLiteral("org.tintaro.Tintaro.desktop")).split('\n');
    for (const QByteArray& raw : lines) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(QLatin1Char('[')))
            inGroup = line == QLatin1String("[Desktop Entry]");
        else if (inGroup && line.contains(QLatin1Char('=')) && !line.startsWith(QLatin1Char('#')))
            entries.insert(line.section(QLatin1Char('='), 0, 0), line.section(QLatin1Char('='), 1));
    }
    return entries;
}

// The metainfo values the other files must agree with: the text of the
// first <id>, <name>, <binary> and <launchable>, "url@<type>" for each <url>,
// and "type" for the component's type.
QHash<QString, QString> metainfoTexts()
{
    static const QSet<QString> wanted = {QStringLiteral("id"), QStringLiteral("name"),
                                         QStringLiteral("binary"), QStringLiteral("launchable")};
    QHash<QString, QString> texts;
    QXmlStreamReader xml(shipped(QStringLiteral("org.tintaro.Tintaro.metainfo.xml")));
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QString name = xml.name().toString();
        const QString type = xml.attributes().value(QStringLiteral("type")).toString();
        if (name == QLatin1String("component"))
            texts.insert(QStringLiteral("type"), type);
        else if (name == QLatin1String("url"))
            texts.insert(QStringLiteral("url@") + type, xml.readElementText());
        else if (wanted.contains(name) && !texts.contains(name))
            texts.insert(name, xml.readElementText());
    }
    if (xml.hasError())
        texts.insert(QStringLiteral("error"), xml.errorString());
    return texts;
}

} // namespace

class TestShippedData : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void recordFiles_data();
    void recordFiles();
    void webSafeRecordsAreTheWholeCube();
    void webSafeFileReadsAsTheGridReadsIt();
    void setNameLines();
    void setNamesLoadAsTheProgramLoadsThem();
    void firstSetIsBlackOnWhite();
    void colorSetsAreLegible_data();
    void colorSetsAreLegible();
    void markupIsWellFormed_data();
    void markupIsWellFormed();
    void helpPageIsSelfContained();
    void desktopFilesAgree_data();
    void desktopFilesAgree();
};

// Both record files: no header, no line ends, whole records of upper-case
// hexadecimal digits, as many as the program expects.
void TestShippedData::recordFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("recordSize");
    QTest::addColumn<int>("expectedRecords");

    QTest::newRow("websafe.rgb: 216 colours of 6 digits")
        << QStringLiteral("websafe.rgb") << int(ColorRecord::kSize)
        << int(PaletteFile::kWebSafeCount);
    QTest::newRow("colorset.dat: one 36-digit record per line of set.dat")
        << QStringLiteral("colorset.dat") << 36 << setCount();
}

void TestShippedData::recordFiles()
{
    QFETCH(QString, file);
    QFETCH(int, recordSize);
    QFETCH(int, expectedRecords);

    const QByteArray bytes = shipped(file);
    QVERIFY2(!bytes.isEmpty(), qPrintable(file + QStringLiteral(" is missing or empty")));
    QCOMPARE(bytes.size(), qsizetype(recordSize) * expectedRecords);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (!isUpperHexDigit(bytes.at(i)))
            QFAIL(qPrintable(
                QStringLiteral("%1: byte %2 (record %3) is 0x%4, not an upper-case hex digit")
                    .arg(file)
                    .arg(i)
                    .arg(i / recordSize + 1)
                    .arg(quint8(bytes.at(i)), 2, 16, QLatin1Char('0'))));
    }
}

void TestShippedData::webSafeRecordsAreTheWholeCube()
{
    const QByteArray bytes = shipped(QStringLiteral("websafe.rgb"));
    QCOMPARE(bytes.size(), 1296);
    static const QSet<QByteArray> levels = {"00", "33", "66", "99", "CC", "FF"};

    QSet<QByteArray> seen;
    for (int n = 0; n < 216; ++n) {
        const QByteArray record = bytes.mid(n * 6, 6);
        for (int field = 0; field < 3; ++field) {
            const QByteArray component = record.mid(field * 2, 2);
            QVERIFY2(
                levels.contains(component),
                qPrintable(QStringLiteral("record %1 (%2) has the component %3")
                               .arg(n + 1)
                               .arg(QString::fromLatin1(record), QString::fromLatin1(component))));
        }
        QVERIFY2(!seen.contains(record), qPrintable(QStringLiteral("record %1 repeats %2")
                                                        .arg(n + 1)
                                                        .arg(QString::fromLatin1(record))));
        seen.insert(record);
    }
    // 216 distinct records from 6 x 6 x 6 possibilities: every web-safe colour once.
    QCOMPARE(seen.size(), 216);
}

// The grid reads records through PaletteFile and ColorRecord: each must give
// the colour its digits say, red from the first pair.
void TestShippedData::webSafeFileReadsAsTheGridReadsIt()
{
    PaletteFile file;
    QVERIFY(file.open(shippedPath(QStringLiteral("websafe.rgb")), PaletteFile::Access::ReadOnly));
    QCOMPARE(file.countRecords(), PaletteFile::kWebSafeCount);

    const QByteArray bytes = shipped(QStringLiteral("websafe.rgb"));
    for (std::int32_t n = 1; n <= PaletteFile::kWebSafeCount; ++n) {
        const std::optional<ColorRecord> record = file.read(n);
        QVERIFY2(record.has_value(), qPrintable(QStringLiteral("record %1 cannot be read").arg(n)));
        const std::optional<ColorValue> color = record->toColor();
        QVERIFY2(color.has_value(), qPrintable(QStringLiteral("record %1 is no colour").arg(n)));
        const QByteArray digits = bytes.mid((n - 1) * 6, 6);
        QCOMPARE(*color, makeColor(hexValue(digits.mid(0, 2)), hexValue(digits.mid(2, 2)),
                                   hexValue(digits.mid(4, 2))));
    }
}

// Every line: a double quote, a name, a double quote, CR LF. The names are
// plain ASCII (the file is read in the locale's 8-bit encoding), unique and
// without blanks at either end, and nothing inside a name may break a line.
void TestShippedData::setNameLines()
{
    bool complete = false;
    const QList<QByteArray> lines = setLines(&complete);
    QVERIFY2(complete, "set.dat must end with CR LF");
    QVERIFY2(lines.size() >= 1, "set.dat holds no set");

    QSet<QByteArray> names;
    for (int i = 0; i < lines.size(); ++i) {
        QByteArray line = lines.at(i);
        const QString where = QStringLiteral("set.dat line %1").arg(i + 1);
        if (i + 1 < lines.size()) {
            QVERIFY2(line.endsWith('\r'),
                     qPrintable(where + QStringLiteral(" does not end with CR LF")));
            line.chop(1);
        }
        QVERIFY2(line.size() >= 3, qPrintable(where + QStringLiteral(" holds no name")));
        QVERIFY2(line.startsWith('"') && line.endsWith('"'),
                 qPrintable(where + QStringLiteral(" is not quoted")));
        const QByteArray name = line.mid(1, line.size() - 2);
        for (char c : name) {
            QVERIFY2(c >= 0x20 && c < 0x7F && c != '"',
                     qPrintable(where + QStringLiteral(": 0x%1 inside the name")
                                            .arg(quint8(c), 2, 16, QLatin1Char('0'))));
        }
        QVERIFY2(name.trimmed() == name,
                 qPrintable(where + QStringLiteral(": blanks round the name")));
        QVERIFY2(!names.contains(name), qPrintable(where + QStringLiteral(" repeats a name")));
        names.insert(name);
    }
}

void TestShippedData::setNamesLoadAsTheProgramLoadsThem()
{
    const SetNameFile::LoadResult result =
        SetNameFile::load(shippedPath(QStringLiteral("set.dat")));
    QVERIFY2(result.ok, qPrintable(result.error));

    QStringList expected;
    for (QByteArray line : setLines()) {
        if (line.endsWith('\r'))
            line.chop(1);
        expected << QString::fromLatin1(line.mid(1, line.size() - 2));
    }
    QCOMPARE(result.names, expected);
}

// The set that can never be deleted is the initial scheme of the sample page.
void TestShippedData::firstSetIsBlackOnWhite()
{
    const QList<QByteArray> lines = setLines();
    QVERIFY(!lines.isEmpty());
    QCOMPARE(lines.first(), QByteArray("\"Default\"\r"));
    QCOMPARE(shipped(QStringLiteral("colorset.dat")).left(36), QByteArray("000000"
                                                                          "FFFFFF"
                                                                          "000000"
                                                                          "000000"
                                                                          "000000"
                                                                          "000000"));
}

// Text and every link state must read well on the set's background
// (WCAG AA for body text: at least 4.5 : 1).
void TestShippedData::colorSetsAreLegible_data()
{
    QTest::addColumn<QByteArray>("record");

    const QByteArray bytes = shipped(QStringLiteral("colorset.dat"));
    const QList<QByteArray> lines = setLines();
    for (int i = 0; i < lines.size(); ++i) {
        QByteArray name = lines.at(i);
        if (name.endsWith('\r'))
            name.chop(1);
        QTest::newRow(name.constData()) << bytes.mid(i * 36, 36);
    }
}

void TestShippedData::colorSetsAreLegible()
{
    QFETCH(QByteArray, record);
    QCOMPARE(record.size(), 36);

    std::optional<ColorValue> colors[6];
    for (int field = 0; field < 6; ++field) {
        const QByteArray digits = record.mid(field * 6, 6);
        colors[field] = BgrHexToColor(digits.constData(), 6);
        QVERIFY2(colors[field].has_value(), digits.constData());
        // Written back, the value gives the same digits: blue first, upper case.
        QCOMPARE(ColorToBgrHex(*colors[field]), QString::fromLatin1(digits));
    }

    static const char* const roles[6] = {"text",         "background",  "normal link",
                                         "visited link", "active link", "hover link"};
    const ColorValue background = *colors[1];
    for (int field : {0, 2, 3, 4, 5}) {
        const double ratio = contrast(*colors[field], background);
        QVERIFY2(ratio >= 4.5,
                 qPrintable(QStringLiteral("%1 %2 on %3: contrast %4 : 1")
                                .arg(QLatin1String(roles[field]), ColorToHtml(*colors[field]),
                                     ColorToHtml(background))
                                .arg(ratio, 0, 'f', 2)));
    }
}

// Parsed as XML: every element closed and properly nested, valid UTF-8.
void TestShippedData::markupIsWellFormed_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("rootElement");

    QTest::newRow("help page") << QStringLiteral("help.htm") << QStringLiteral("html");
    QTest::newRow("icon") << QStringLiteral("org.tintaro.Tintaro.svg") << QStringLiteral("svg");
    QTest::newRow("metainfo") << QStringLiteral("org.tintaro.Tintaro.metainfo.xml")
                              << QStringLiteral("component");
}

void TestShippedData::markupIsWellFormed()
{
    QFETCH(QString, file);
    QFETCH(QString, rootElement);

    const QByteArray bytes = shipped(file);
    QVERIFY2(!bytes.isEmpty(), qPrintable(file + QStringLiteral(" is missing or empty")));

    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    QVERIFY2(!utf8.hasError() && !text.isEmpty(), "not valid UTF-8");

    QXmlStreamReader xml(bytes);
    QString root;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && root.isEmpty())
            root = xml.name().toString();
    }
    QVERIFY2(
        !xml.hasError(),
        qPrintable(QStringLiteral("line %1: %2").arg(xml.lineNumber()).arg(xml.errorString())));
    QCOMPARE(root, rootElement);
}

// The page opens from the data folder in any browser, off line: no scripts,
// no style sheets, pictures or fonts from elsewhere, and every link inside
// the page leads to a part of it.
void TestShippedData::helpPageIsSelfContained()
{
    QXmlStreamReader xml(shipped(QStringLiteral("help.htm")));
    QSet<QString> ids;
    QStringList internalTargets;
    bool charsetUtf8 = false;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QString element = xml.name().toString().toLower();
        const QXmlStreamAttributes attributes = xml.attributes();
        QVERIFY2(element != QLatin1String("script") && element != QLatin1String("link") &&
                     element != QLatin1String("iframe") && element != QLatin1String("object") &&
                     element != QLatin1String("embed"),
                 qPrintable(QStringLiteral("line %1: <%2>").arg(xml.lineNumber()).arg(element)));
        QVERIFY2(!attributes.hasAttribute(QStringLiteral("src")),
                 qPrintable(QStringLiteral("line %1: src=").arg(xml.lineNumber())));
        if (element == QLatin1String("meta") &&
            attributes.value(QStringLiteral("charset"))
                    .compare(QLatin1String("utf-8"), Qt::CaseInsensitive) == 0)
            charsetUtf8 = true;
        if (attributes.hasAttribute(QStringLiteral("id"))) {
            const QString id = attributes.value(QStringLiteral("id")).toString();
            QVERIFY2(!ids.contains(id), qPrintable(QStringLiteral("id %1 twice").arg(id)));
            ids.insert(id);
        }
        if (attributes.hasAttribute(QStringLiteral("href"))) {
            const QString href = attributes.value(QStringLiteral("href")).toString();
            if (href.startsWith(QLatin1Char('#')))
                internalTargets << href.mid(1);
            else
                QVERIFY2(
                    href == QLatin1String("https://tintaro.org") ||
                        href == QLatin1String("mailto:hello@tintaro.org"),
                    qPrintable(
                        QStringLiteral("line %1: link to %2").arg(xml.lineNumber()).arg(href)));
        }
    }
    QVERIFY(!xml.hasError());
    QVERIFY2(charsetUtf8, "no <meta charset=\"utf-8\"/>");
    QVERIFY(!internalTargets.isEmpty());
    for (const QString& target : internalTargets)
        QVERIFY2(ids.contains(target), qPrintable(QStringLiteral("#%1 leads nowhere").arg(target)));

    const QString text = QString::fromUtf8(shipped(QStringLiteral("help.htm")));
    static const QRegularExpression outsideStyle(QStringLiteral(R"(url\s*\(|@import)"),
                                                 QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = outsideStyle.match(text);
    QVERIFY2(!match.hasMatch(),
             qPrintable(QStringLiteral("the styles load %1").arg(match.captured())));
}

// The desktop file, the metainfo and the icon name one another; a rename
// of any of them must reach the others.
void TestShippedData::desktopFilesAgree_data()
{
    QTest::addColumn<QString>("actual");
    QTest::addColumn<QString>("expected");

    const QHash<QString, QString> desktop = desktopEntry();
    const QHash<QString, QString> meta = metainfoTexts();
    const QString appId = QStringLiteral("org.tintaro.Tintaro");

    QTest::newRow("metainfo parses") << meta.value(QStringLiteral("error")) << QString();
    QTest::newRow("component id") << meta.value(QStringLiteral("id")) << appId;
    QTest::newRow("component type")
        << meta.value(QStringLiteral("type")) << QStringLiteral("desktop-application");
    QTest::newRow("launchable is the desktop file")
        << meta.value(QStringLiteral("launchable")) << appId + QStringLiteral(".desktop");
    QTest::newRow("metainfo name")
        << meta.value(QStringLiteral("name")) << QStringLiteral("Tintaro2.0");
    QTest::newRow("desktop name") << desktop.value(QStringLiteral("Name"))
                                  << QStringLiteral("Tintaro2.0");
    QTest::newRow("desktop Exec runs the installed command")
        << desktop.value(QStringLiteral("Exec")) << meta.value(QStringLiteral("binary"));
    QTest::newRow("installed command")
        << meta.value(QStringLiteral("binary")) << QStringLiteral("tintaro");
    QTest::newRow("icon is the shipped svg")
        << desktop.value(QStringLiteral("Icon")) + QStringLiteral(".svg")
        << (QFile::exists(shippedPath(appId + QStringLiteral(".svg")))
                ? appId + QStringLiteral(".svg")
                : QStringLiteral("(no svg)"));
    QTest::newRow("home page") << meta.value(QStringLiteral("url@homepage"))
                               << QStringLiteral("https://tintaro.org");
}

void TestShippedData::desktopFilesAgree()
{
    QFETCH(QString, actual);
    QFETCH(QString, expected);
    QCOMPARE(actual, expected);
}

QTEST_GUILESS_MAIN(TestShippedData)
#include "tst_shippeddata.moc"
