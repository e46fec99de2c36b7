// Palette export and import: each text format byte for byte, the swatch exchange layout field by
// field, round trips, damaged files, names made safe, and exports written whole or not at all.

#include "PaletteExport.h"
#include "PaletteImport.h"

#include "TestFiles.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QtTest>

using namespace tintaro;

using Groups = std::vector<ColorGroup>;
using Colors = QList<int>;
Q_DECLARE_METATYPE(Groups)

namespace {

// A palette of two, one of them unnamed, and a colour set.
Groups twoGroups()
{
    return {{"Palette", {{"color-1", makeColor(255, 128, 0)}, {"", makeColor(10, 11, 12)}}},
            PaletteExport::colorSetGroup("Sunset", {makeColor(0, 0, 0), makeColor(255, 255, 255),
                                                    makeColor(0, 0, 238), makeColor(85, 26, 139),
                                                    makeColor(255, 0, 0), makeColor(0, 170, 85)})};
}

// One colour "Ab" #FF8000 in a group "G".
QByteArray oneColorAse()
{
    return PaletteExport::exportGroups({{"G", {{"Ab", makeColor(255, 128, 0)}}}},
                                       ExportFormat::Ase);
}

QByteArray patched(QByteArray bytes, int at, const QByteArray& hex)
{
    return bytes.replace(at, hex.size() / 2, QByteArray::fromHex(hex));
}

Colors listOf(const std::vector<ColorValue>& colors)
{
    return Colors(colors.begin(), colors.end());
}

Colors colorsOf(const Groups& groups)
{
    Colors colors;
    for (const ColorGroup& group : groups)
        for (const NamedColor& color : group.colors)
            colors << color.color;
    return colors;
}

// From "Group|name" entries, a new group where the group's name changes; colour i is (i, 0, 0).
Groups groupsOf(const QStringList& entries)
{
    Groups groups;
    for (int i = 0; i < entries.size(); ++i) {
        const QString group = entries[i].section('|', 0, 0);
        if (groups.empty() || groups.back().name != group)
            groups.push_back({group, {}});
        groups.back().colors.push_back({entries[i].section('|', 1), makeColor(i, 0, 0)});
    }
    return groups;
}

QStringList captured(const QByteArray& text, const char* pattern)
{
    QStringList names;
    auto match = QRegularExpression(pattern, QRegularExpression::MultilineOption)
                     .globalMatch(QString::fromUtf8(text));
    while (match.hasNext())
        names << match.next().captured(1);
    return names;
}

} // namespace

class TestPaletteFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void textFormats_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QByteArray>("bytes");
        const auto row = [](const char* name, const char* key, const char* suffix,
                            const QByteArray& bytes) {
            QTest::newRow(name) << QString(key) << QString(suffix) << bytes;
        };
        row("GIMP palette", "gpl", "gpl",
            "GIMP Palette\nName: Palette, Sunset\nColumns: 18\n#\n# Palette\n"
            "255 128   0\tcolor-1\n 10  11  12\t#0A0B0C\n# Sunset\n  0   0   0\ttext\n"
            "255 255 255\tbackground\n  0   0 238\tlink\n 85  26 139\tvisited\n"
            "255   0   0\tactive\n  0 170  85\thover\n");
        const char* const names[] = {"palette-color-1",   "palette-0a0b0c", "sunset-text",
                                     "sunset-background", "sunset-link",    "sunset-visited",
                                     "sunset-active",     "sunset-hover"};
        const char* const hex[] = {"#FF8000", "#0A0B0C", "#000000", "#FFFFFF",
                                   "#0000EE", "#551A8B", "#FF0000", "#00AA55"};
        QByteArray css = ":root {\n", scss, list;
        for (int i = 0; i < 8; ++i) {
            css += QByteArray("  --") + names[i] + ": " + hex[i] + ";\n";
            scss += QByteArray("$") + names[i] + ": " + hex[i] + ";\n";
            list += QByteArray(hex[i]) + '\n';
        }
        row("CSS custom properties", "css", "css", css + "}\n");
        row("Sass variables", "scss", "scss", scss);
        row("hex list, key in capitals", "HEX", "txt", list);
        row("design tokens", "tokens", "tokens.json",
            QByteArray( // quotes as '
                "{\n"
                "  'Palette': {\n"
                "    'color-1': { '$type': 'color', '$value': '#ff8000' },\n"
                "    '#0A0B0C': { '$type': 'color', '$value': '#0a0b0c' }\n"
                "  },\n"
                "  'Sunset': {\n"
                "    'text': { '$type': 'color', '$value': '#000000' },\n"
                "    'background': { '$type': 'color', '$value': '#ffffff' },\n"
                "    'link': { '$type': 'color', '$value': '#0000ee' },\n"
                "    'visited': { '$type': 'color', '$value': '#551a8b' },\n"
                "    'active': { '$type': 'color', '$value': '#ff0000' },\n"
                "    'hover': { '$type': 'color', '$value': '#00aa55' }\n"
                "  }\n"
                "}\n")
                .replace('\'', '"'));
    }
    void textFormats()
    {
        QFETCH(QString, key);
        QFETCH(QString, suffix);
        QFETCH(QByteArray, bytes);
        const auto format = PaletteExport::exportFormatFromKey(key);
        QVERIFY(format);
        QVERIFY(!PaletteExport::exportFormatFromKey(key + 'x'));
        QCOMPARE(PaletteExport::exportFormatKey(*format), key.toLower());
        QCOMPARE(PaletteExport::fileSuffix(*format), suffix);
        QCOMPARE(PaletteExport::exportGroups(twoGroups(), *format), bytes);
    }

    // The swatch exchange file of one colour "Ab" #FF8000 in a group "G".
    void aseFields_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<QByteArray>("hex");
        QTest::newRow("magic") << 0 << QByteArray("41534546");
        QTest::newRow("version 1.0") << 4 << QByteArray("00010000");
        QTest::newRow("blocks: start, colour, end") << 8 << QByteArray("00000003");
        QTest::newRow("group start, length 6") << 12 << QByteArray("c00100000006");
        QTest::newRow("group name G and zero") << 18 << QByteArray("000200470000");
        QTest::newRow("colour entry, length 26") << 24 << QByteArray("00010000001a");
        QTest::newRow("name Ab, UTF-16 and zero") << 30 << QByteArray("0003004100620000");
        QTest::newRow("model RGB") << 38 << QByteArray("52474220");
        QTest::newRow("levels 1, 128/255, 0") << 42 << QByteArray("3f8000003f00808100000000");
        QTest::newRow("normal colour") << 54 << QByteArray("0002");
        QTest::newRow("group end") << 56 << QByteArray("c00200000000");
    }
    void aseFields()
    {
        QFETCH(int, offset);
        QFETCH(QByteArray, hex);
        const QByteArray ase = oneColorAse();
        QCOMPARE(ase.mid(offset, hex.size() / 2).toHex(), hex);
        QCOMPARE(ase.size(), 62); // nothing after the group end
    }

    void roundTrip_data()
    {
        QTest::addColumn<Groups>("groups");
        ColorGroup levels{"levels", {}};
        for (int n = 0; n < 256; ++n)
            levels.colors.push_back({"", makeColor(n, 255 - n, n / 2)});
        QTest::newRow("every level") << Groups{levels, twoGroups()[1]};
        QTest::newRow("nothing") << Groups{};
        QTest::newRow("empty groups") << Groups{{"empty", {}}, {"", {}}};
        // Longer than a swatch exchange name may be, a surrogate pair where it is cut.
        const QString longName = QString(0xFFFD, 'x') + QString::fromUtf8("😀") + "tail";
        QTest::newRow("names that could break a line or a block")
            << Groups{{"two\nlines", {{"tab\there\r\nnext", 1}, {"名前 😀", 2}, {longName, 3}}},
                      {longName, {{"Name: 0 0 0", 4}}}};
    }
    void roundTrip()
    {
        QFETCH(Groups, groups);
        const QByteArray gpl = PaletteExport::exportGroups(groups, ExportFormat::Gpl);
        const QByteArray ase = PaletteExport::exportGroups(groups, ExportFormat::Ase);
        for (const ImportResult& result :
             {PaletteImport::importGpl(gpl), PaletteImport::importAse(ase)}) {
            QVERIFY2(result.ok, qPrintable(result.error));
            QCOMPARE(listOf(result.colors), colorsOf(groups));
        }
    }

    // Each importer on its own; an empty error: it succeeds with those colours.
    void badInput_data()
    {
        QTest::addColumn<bool>("gpl");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error");
        QTest::addColumn<Colors>("colors");
        const auto row = [](bool gpl, const char* name, const QByteArray& bytes,
                            const QString& error, const Colors& colors = {}) {
            QTest::newRow(name) << gpl << bytes << error << colors;
        };
        const auto gpl = [&row](auto... values) { row(true, values...); };
        gpl("CRLF, byte-order mark, blanks, comments, no last line end",
            "\xEF\xBB\xBFGIMP Palette\r\nName: x\r\nColumns: 4\r\n#\r\n\r\n  1\t2  3 one two\r\n"
            "# 9 9 9\r\n255 255 255\r\n0 0 0",
            "", Colors{makeColor(1, 2, 3), 0xFFFFFF, 0});
        gpl("empty file", "", "does not start with the line \"GIMP Palette\"");
        gpl("another header", "JASC-PAL\n0100\n", "does not start with the line \"GIMP Palette\"");
        gpl("level above 255", "GIMP Palette\n#\n0 0 0\n1 256 2\n", "line 4: 256 is more than 255");
        gpl("level past any integer", "GIMP Palette\n99999999999 0 0\n", "line 2: 99999999999 is");
        gpl("two levels", "GIMP Palette\n1 2\n", "line 2: expected red, green and blue");
        gpl("level joined to the name", "GIMP Palette\n1 2 3x\n", "line 2: expected");
        gpl("bad line after good ones, CRLF", "GIMP Palette\r\n1 2 3\r\n\r\nx y z\r\n",
            "line 4: expected red, green and blue from 0 to 255, found \"x y z\"");

        const auto ase = [&row](auto... values) { row(false, values...); };
        const QByteArray one = oneColorAse();
        ase("levels rounded and held in range", patched(one, 42, "3f0000003fc00000be800000"), "",
            Colors{makeColor(128, 255, 0)});
        ase("no blocks", one.left(8) + QByteArray(4, 0), "");
        ase("another magic", "ASEX" + one.mid(4), "not an Adobe Swatch Exchange file");
        ase("version 2", patched(one, 4, "00020000"), "version 2.0");
        ase("cut in the header", one.left(10), "ends inside its header");
        ase("more blocks counted than held", patched(one, 8, "00000004"),
            "ends before block 4 of 4");
        ase("block length past the end", patched(one, 26, "0000ffff"),
            "block 2 of 3 runs past the end");
        ase("name past its block", patched(one, 30, "0100"), "name runs past");
        ase("CMYK", patched(one, 38, "434d594b"), "CMYK colours, which the palette cannot hold");
        ase("Lab", patched(one, 38, "4c414220"), "Lab colours, which the palette cannot hold");
        ase("grey", patched(one, 38, "47726179"), "grey levels, which the palette cannot hold");
        ase("unknown model", patched(one, 38, "48535620"), "unknown colour model \"HSV \"");
        ase("level not a number", patched(one, 46, "7fc00000"), "not a number");
    }
    void badInput()
    {
        QFETCH(bool, gpl);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        QFETCH(Colors, colors);
        const ImportResult result =
            gpl ? PaletteImport::importGpl(bytes) : PaletteImport::importAse(bytes);
        QVERIFY2(result.error.contains(error), qPrintable(result.error));
        QCOMPARE(result.ok, error.isEmpty());
        QCOMPARE(listOf(result.colors), colors);
    }

    // Told apart by content: the name's ending says neither. Errors name the file.
    void importFile_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // null: a folder instead
        QTest::addColumn<qint64>("size");      // grown to, sparse
        QTest::addColumn<QString>("error");
        QTest::addColumn<Colors>("colors");
        const QByteArray gpl("GIMP Palette\n1 2 3\n");
        QTest::newRow("GIMP palette") << gpl << 0ll << "" << Colors{makeColor(1, 2, 3)};
        QTest::newRow("swatches") << oneColorAse() << 0ll << "" << Colors{makeColor(255, 128, 0)};
        QTest::newRow("neither") << QByteArray("JASC-PAL\n") << 0ll
                                 << "neither a GIMP palette nor an Adobe Swatch Exchange file"
                                 << Colors{};
        QTest::newRow("bad line") << gpl + "1 2\n" << 0ll << "\": line 3:" << Colors{};
        QTest::newRow("larger than the limit")
            << gpl << PaletteImport::kMaxFileSize + 1 << "larger than 64 MB" << Colors{};
        QTest::newRow("folder") << QByteArray() << 0ll << "not a file" << Colors{};
    }
    void importFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(qint64, size);
        QFETCH(QString, error);
        QFETCH(Colors, colors);
        const QTemporaryDir dir;
        const QString path = dir.filePath("palette.txt");
        QVERIFY(bytes.isNull() ? QDir().mkdir(path) : TestFiles::write(path, bytes));
        QVERIFY(size == 0 || QFile::resize(path, size));
        const ImportResult result = PaletteImport::importPaletteFile(path);
        QVERIFY2(result.error.contains(error) &&
                     (result.ok || result.error.contains('"' + path + '"')),
                 qPrintable(result.error));
        QCOMPARE(result.ok, error.isEmpty());
        QCOMPARE(listOf(result.colors), colors);
    }

    // CSS identifiers (Sass shares them); the token file parses and keeps every colour under a
    // name the format allows.
    void names_data()
    {
        QTest::addColumn<QStringList>("entries"); // "Group|name"
        QTest::addColumn<QStringList>("identifiers");
        QTest::newRow("spaces, capitals, punctuation")
            << QStringList{"Web Colours|Sky  Blue!", "Web Colours|--dark--"}
            << QStringList{"web-colours-sky-blue", "web-colours-dark"};
        QTest::newRow("repeats, across groups too")
            << QStringList{"A|Red", "A|red", "A|RED", "A|red 2", "a|red"}
            << QStringList{"a-red", "a-red-2", "a-red-3", "a-red-2-2", "a-red-4"};
        QTest::newRow("underscore and hyphen are one to Sass")
            << QStringList{"G|a_b", "G|a-b"} << QStringList{"g-a-b", "g-a-b-2"};
        QTest::newRow("leading digit, nothing usable, no name")
            << QStringList{"|1st", "|!!!", "|"}
            << QStringList{"color-1st", "color", "color-020000"};
        QTest::newRow("other scripts") << QStringList{"Farben|Grün", "Farben|青 😀", "Farben|𐐀"}
                                       << QStringList{"farben-grün", "farben-青", "farben-𐐨"};
        QTest::newRow("hostile to JSON")
            << QStringList{"G|say \"hi\" \\", "G|a.b{c}", "G|$x", "G|$", "G|line\nbreak"}
            << QStringList{"g-say-hi", "g-a-b-c", "g-x", "g", "g-line-break"};
    }
    void names()
    {
        QFETCH(QStringList, entries);
        QFETCH(QStringList, identifiers);
        const Groups groups = groupsOf(entries);
        QCOMPARE(captured(PaletteExport::exportGroups(groups, ExportFormat::Css),
                          "^  --(.+): #[0-9A-F]{6};$"),
                 identifiers);
        QJsonParseError error;
        const QJsonObject tokens =
            QJsonDocument::fromJson(PaletteExport::exportGroups(groups, ExportFormat::Tokens),
                                    &error)
                .object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(tokens.size(), qsizetype(groups.size()));
        qsizetype count = 0;
        for (const QJsonValue group : tokens) {
            const QStringList keys = group.toObject().keys();
            count += keys.size();
            for (const QString& key : keys)
                QVERIFY2(!key.isEmpty() && !key.contains(QRegularExpression("^\\$|[.{}]")),
                         qPrintable(key));
        }
        QCOMPARE(count, entries.size()); // none lost to a repeated name
    }

    void writeExport_data()
    {
        QTest::addColumn<QByteArray>("target"); // before; null: none
        QTest::addColumn<QString>("beside");    // a file of the user's next to it
        QTest::addColumn<bool>("readOnly");     // the folder
        QTest::addColumn<bool>("ok");
        QTest::newRow("new file") << QByteArray() << "" << false << true;
        QTest::newRow("over an earlier one") << QByteArray("old") << "" << false << true;
        QTest::newRow("read-only folder") << QByteArray() << "" << true << false;
        // A crash must never leave a ".tmp" that a start takes for its own.
        QTest::newRow("a .tmp of the user's is left alone")
            << QByteArray("old") << "colours.tmp" << false << true;
        QTest::newRow("the user's file under the temporary's name")
            << QByteArray("old") << "colours.gpl.partial" << false << false;
    }
    void writeExport()
    {
        QFETCH(QByteArray, target);
        QFETCH(QString, beside);
        QFETCH(bool, readOnly);
        QFETCH(bool, ok);
        if (readOnly && TestFiles::ignoresPermissions())
            QSKIP("Permissions do not hold for this user.");
        const QTemporaryDir dir;
        const QString path = dir.filePath("colours.gpl");
        QVERIFY(target.isNull() || TestFiles::write(path, target));
        QVERIFY(beside.isEmpty() || TestFiles::write(dir.filePath(beside), "notes"));
        QVERIFY(TestFiles::setReadOnly(dir.path(), readOnly));
        QString error;
        const bool wrote = PaletteExport::writeExport(path, "new", &error);
        TestFiles::setReadOnly(dir.path(), false);
        QCOMPARE(wrote, ok);
        QCOMPARE(TestFiles::read(path), ok ? QByteArray("new") : target);
        QVERIFY(beside.isEmpty() || TestFiles::read(dir.filePath(beside)) == "notes");
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(),
                 int(!TestFiles::read(path).isNull()) + int(!beside.isEmpty()));
        QVERIFY2(ok || error.contains('"' + path + '"'), qPrintable(error));
    }
};

QTEST_APPLESS_MAIN(TestPaletteFiles)
#include "tst_palettefiles.moc"
