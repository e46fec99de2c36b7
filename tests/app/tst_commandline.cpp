#include "TestFiles.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// The options that open no window, run as a script runs them: the real
// program, with no display to be had, in a folder of saved sets.
class TestCommandLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void checkSet_data()
    {
        QTest::addColumn<QByteArray>("names");   // set.dat
        QTest::addColumn<QByteArray>("colours"); // colorset.dat, fields BBGGRR
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out"); // lines that must be printed, '|' between
        QTest::addColumn<QString>("err");
        QTest::addColumn<int>("lines"); // printed in all, where it matters

        const QByteArray grey = "000000FFFFFF767676767676767676767676";    // every pair passes
        const QByteArray pale = "777777FFFFFF767676767676767676767676";    // the text fails AA
        const QByteArray classic = "000000FFFFFFEE00008B1A55EE0000EE0000"; // 1990s links
        const QByteArray two = "\"Grey\"\r\n\"Pale\"\r\n";
        QTest::newRow("a passing set: 0, its seven pairs")
            << two << grey + pale << QStringList{"--check-set", "Grey"} << 0
            << "Set \"Grey\" (1 of 2)|"
               "  Text on background           #000000 on #FFFFFF  21.00:1  AA normal pass  AA "
               "large pass  AAA normal pass  AAA large pass|"
               "  Hover link on background     #767676 on #FFFFFF   4.54:1  AA normal pass  AA "
               "large pass  AAA normal FAIL  AAA large pass|"
               "  Visited link against text    #767676 vs #000000   4.62:1  3:1 pass"
            << "" << 8;
        QTest::newRow("4.478 is 4.47, never rounded up: 3")
            << two << grey + pale << QStringList{"--check-set=Pale"} << 3
            << "  Text on background           #777777 on #FFFFFF   4.47:1  AA normal FAIL  AA "
               "large pass  AAA normal FAIL  AAA large FAIL"
            << "" << -1;
        QTest::newRow("all: the worst of them")
            << two << grey + pale << QStringList{"--check-set", "all"} << 3
            << "Set \"Grey\" (1 of 2)|Set \"Pale\" (2 of 2)"
            << "" << -1;
        QTest::newRow("links told from text by colour need 3:1; colour vision noted")
            << QByteArray("\"Classic\"\r\n") << classic << QStringList{"--check-set", "Classic"}
            << 3
            << "  Normal link against text     #0000EE vs #000000   2.23:1  3:1 FAIL|"
               "  note: achromatopsia: the normal link is hard to tell from the visited link "
               "(deltaE 0.038 in OKLab, under 0.06)"
            << "" << -1;
        QTest::newRow("red and green links: notes alone fail nothing")
            << QByteArray("\"Red\"\r\n") << QByteArray("000000FFFFFF0000CC008800AB0D1AA81D68")
            << QStringList{"--check-set", "Red"} << 0
            << "  note: deuteranopia: the normal link is hard to tell from the visited link|"
               "  note: protanopia: the active link is hard to tell from the hover link"
            << "" << -1;
        QTest::newRow("a name twice: both, and said")
            << QByteArray("\"Grey\"\r\n\"Twice\"\r\n\"Twice\"\r\n") << grey + grey + pale
            << QStringList{"--check-set", "Twice"} << 3
            << "2 saved sets are named \"Twice\": checking each|Set \"Twice\" (2 of 3)|Set "
               "\"Twice\" (3 of 3)"
            << "" << -1;
        QTest::newRow("a name as stored: letters, quotes")
            << QByteArray("\"Caf\xc3\xa9 \"noir\"\"\r\n") << grey
            << QStringList{"--check-set", QString::fromUtf8("Caf\xc3\xa9 \"noir\"")} << 0
            << QString::fromUtf8("Set \"Caf\xc3\xa9 \"noir\"\" (1 of 1)") << "" << -1;
        QTest::newRow("a record cut short: unknown, not black; 2 naming it")
            << two << grey + pale.left(20) << QStringList{"--check-set", "all"} << 2
            << "  Normal link on background    #767676 on #FFFFFF   4.54:1|"
               "  Visited link on background   unknown on #FFFFFF  unknown: the saved set lacks"
            << "the saved set \"Pale\" (2 of 2) has a damaged or missing colour record" << -1;
        QTest::newRow("no such set: 2")
            << two << grey << QStringList{"--check-set", "Blue"} << 2 << ""
            << "no saved set is named \"Blue\"" << -1;
        QTest::newRow("no name: 2") << two << grey << QStringList{"--check-set"} << 2 << ""
                                    << "--check-set needs the name of a saved set, or all" << -1;
        QTest::newRow("more than asked: 2")
            << two << grey << QStringList{"--check-set", "Grey", "Pale"} << 2 << ""
            << "unexpected argument after --check-set: Pale" << -1;
        QTest::newRow("no set.dat: 2")
            << QByteArray() << grey << QStringList{"--check-set", "all"} << 2 << ""
            << "cannot read \"set.dat\"" << -1;
        // Colours in any CSS form, out in one; the user's colours and the sets exported.
        const auto format = [&](const char* name, QStringList args, int status, const char* out,
                                const char* err) {
            QTest::newRow(name) << two << grey << (QStringList{"--format"} + args) << status << out
                                << err << (status ? 0 : -1);
        };
        format("--format: from rgb() to hex", {"hex", "rgb(128 255 204)"}, 0, "#80FFCC\n", "");
        format("--format: red in hsl()", {"hsl", "#ff0000"}, 0, "hsl(0 100% 50%)\n", "");
        format("--format: an exact name", {"name", "#FF0000"}, 0, "red\n", "");
        format("--format: the nearest name, marked", {"name", "#FE0000"}, 0, "~red (deltaE 0.", "");
        format("--format all: every form, a line each", {"all", "red"}, 0,
               "hex3: #F00|hwb: hwb(0 0% 0%)|srgb: color(srgb 1 0 0)|name: red", "");
        format("--format: no short form: 2", {"hex3", "#123456"}, 2, "",
               "#123456 has no hex3 form");
        format("--format: an unknown form: 2", {"cmyk", "red"}, 2, "", "unknown form \"cmyk\"");
        format("--format: not a colour: 2", {"hex", "rgb(1 2)"}, 2, "",
               "\"rgb(1 2)\" is not a colour: rgb() needs three values");
        format("--format: no colour: 2", {"hex"}, 2, "", "--format needs a form and a colour");
        const auto exporting = [&](const char* name, QStringList args, int status, const char* out,
                                   const char* err) {
            QTest::newRow(name) << two << grey + pale << (QStringList{"--export"} + args) << status
                                << out << err << -1;
        };
        exporting("--export hex: the user's colours, oldest first", {"hex"}, 0,
                  "#FF0000\n#80FFCC\n", "");
        exporting("--export css: the sets too, six names each",
                  {"css", "--palette", "user", "--sets"}, 0,
                  ":root {|  --my-colours-color-2: #80FFCC;|  --grey-hover: #767676;|  "
                  "--pale-text: #777777;",
                  "");
        QTest::newRow("--export --sets alone: six colours a set, no palette")
            << two << grey + pale << QStringList{"--export", "hex", "--sets"} << 0
            << "#000000\n#FFFFFF\n#767676\n"
            << "" << 12;
        exporting("--export: no web-safe file: 2", {"gpl", "--palette", "websafe"}, 2, "",
                  "cannot read \"websafe.rgb\"");
        exporting("--export: a folder that is not there: 2", {"hex", "-o", "no/such/x.txt"}, 2, "",
                  "Cannot export to \"no/such/x.txt\"");
        exporting("--export: an unknown format: 2", {"pdf"}, 2, "", "--export needs a format");
        exporting("--export: an unknown option: 2", {"hex", "--palettes"}, 2, "",
                  "--export does not take \"--palettes\"");
        QTest::newRow("--help lists every option")
            << two << grey << QStringList{"--help"} << 0
            << "  --check-set NAME  check the contrast|  --check-set all   the same for every|"
               "  --format FORM COLOUR|  --export FORMAT [--palette user|"
               "  --pick [--format FORM] [--copy]|"
               "Exit status: 0 done (--check-set: every pair passes AA)"
            << "" << -1;
        // The one-shot pick needs a display: without one it says so at once.
        const auto picking = [&](const char* name, const QStringList& args, const char* err) {
            QTest::newRow(name) << two << grey << (QStringList{"--pick"} + args) << 2 << "" << err
                                << 0;
        };
        picking("--pick, no display: 2 at once", {}, "--pick needs a display");
        picking("--pick --copy --format oklch, no display: 2", {"--copy", "--format", "oklch"},
                "--pick needs a display");
        picking("--pick --format without a form: 2", {"--format"}, "--pick --format needs a form");
        picking("--pick --format of no form: 2", {"--format", "cmyk"},
                "--pick --format needs a form");
        picking("--pick with an option of another: 2, naming it", {"--sets"},
                "unknown option \"--sets\"");
        // Anything else is named, with the usage.
        QTest::newRow("an unknown option: 2, named, with the usage")
            << two << grey << QStringList{"--pik"} << 2 << ""
            << "unknown option \"--pik\"" << 0;
        QTest::newRow("Qt's own options, either way, pass to the next")
            << two << grey << QStringList{"-style=fusion", "--platform", "offscreen", "--pik"} << 2
            << "" << "unknown option \"--pik\"" << 0;
        QTest::newRow("a stray word: 2") << two << grey << QStringList{"colours"} << 2 << ""
                                         << "Usage: tintaro [OPTION]" << 0;
    }
    void checkSet()
    {
        QFETCH(QByteArray, names);
        QFETCH(QByteArray, colours);
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QFETCH(int, lines);
        QTemporaryDir dir;
        if (!names.isNull())
            QVERIFY(TestFiles::write(dir.filePath("set.dat"), names));
        QVERIFY(TestFiles::write(dir.filePath("colorset.dat"), colours));
        QVERIFY(TestFiles::write(dir.filePath("mycolor.rgb"), "FF000080FFCC"));
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(name); // a window would fail at once
        program.setProcessEnvironment(env);
        program.setWorkingDirectory(dir.path());
        program.start(TINTARO_PROGRAM, args);
        QVERIFY(program.waitForFinished(20000));
        const QString printed = QString::fromUtf8(program.readAllStandardOutput());
        const QString complaint = QString::fromUtf8(program.readAllStandardError());
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), status);
        QVERIFY(lines < 0 || printed.count('\n') == lines);
        for (const QString& line : out.split('|', Qt::SkipEmptyParts))
            QVERIFY2(printed.contains(line), qPrintable(printed));
        QVERIFY2(err.isEmpty() ? complaint.isEmpty() : complaint.contains(err),
                 qPrintable(complaint));
        // The files are read, never written.
        QCOMPARE(TestFiles::read(dir.filePath("colorset.dat")), colours);
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
