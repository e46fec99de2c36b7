// The colour forms and files: every CSS form of one colour, the nearest
// named colour, a 100,000-colour GIMP palette read, and the command line's
// export of 1,000,000 user colours to each format as a whole process.
#include "CssForms.h"
#include "CssNames.h"
#include "PaletteExport.h"
#include "PaletteImport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

using namespace tintaro;

#include "bench_common.h"

class BenchColor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void allForms()
    {
        int c = 0, length = 0;
        QBENCHMARK {
            for (const CssFormText& f : cssTexts(c = (c + 0x010307) & 0xFFFFFF))
                length += int(f.text.size());
        }
        QVERIFY(length > 0);
    }

    void nearestNamedColour()
    {
        int c = 0;
        double far = 0;
        QBENCHMARK {
            far = std::max(far, nearestName(c = (c + 0x010307) & 0xFFFFFF).deltaE);
        }
        QVERIFY(far >= 0);
    }

    void importGpl100k()
    {
        std::vector<ColorGroup> groups{{QStringLiteral("big"), {}}};
        for (int i = 0; i < 100000; ++i)
            groups[0].colors.push_back({QString(), ColorValue(i * 167 & 0xFFFFFF)});
        const QByteArray gpl = PaletteExport::exportGroups(groups, ExportFormat::Gpl);
        std::size_t read = 0;
        QBENCHMARK {
            read = PaletteImport::importGpl(gpl).colors.size();
        }
        QCOMPARE(read, std::size_t(100000));
    }

    void exportMillionEach()
    {
        QTemporaryDir dir;
        QVERIFY(bench::writeFile(dir.filePath(QStringLiteral("mycolor.rgb")),
                                 bench::records(1000000)));
        for (const char* format : {"gpl", "css", "scss", "tokens", "ase", "hex"}) {
            std::vector<double> runs;
            for (int round = 0; round < 3; ++round) {
                QProcess program;
                program.setWorkingDirectory(dir.path());
                QElapsedTimer timer;
                timer.start();
                program.start(QStringLiteral(TINTARO_PROGRAM),
                              {QStringLiteral("--export"), QString::fromLatin1(format),
                               QStringLiteral("-o"), QStringLiteral("out")});
                QVERIFY(program.waitForFinished(60000) && program.exitCode() == 0);
                runs.push_back(timer.nsecsElapsed() / 1e6);
            }
            qInfo("export of 1,000,000 user colours as %s, whole process: median %.1f ms", format,
                  bench::median(runs));
        }
    }
};

QTEST_GUILESS_MAIN(BenchColor)
#include "bench_color.moc"
