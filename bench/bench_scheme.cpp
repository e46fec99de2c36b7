// The colour sets: saving and deleting among 10,000, the code view from its
// button to its first paint, and the contrast check: the table worked out
// anew, the nearest passing colour, and the command line's check of all
// 10,000 sets as a whole process.
#include "ColorSetStore.h"
#include "MainWindow.h"
#include "NearestPassing.h"
#include "SchemeCheck.h"
#include "Startup.h"

#include <QProcess>

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

using namespace tintaro;

#include "bench_common.h"

namespace {

constexpr int kSets = 10000;
constexpr int kRounds = 20;

void report(const char* what, QList<double> ms)
{
    std::sort(ms.begin(), ms.end());
    qInfo("%s: median %.2f ms, worst %.2f ms over %lld runs", what, ms.at(ms.size() / 2),
          ms.constLast(), qlonglong(ms.size()));
}

// Notes the code view's first paint and closes it right away.
class FirstPaint : public QObject
{
public:
    QElapsedTimer clock;
    qint64 paintedNs = -1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && paintedNs < 0 &&
            watched->objectName() == QLatin1String("frmcss")) {
            paintedNs = clock.nsecsElapsed();
            QMetaObject::invokeMethod(watched, "close", Qt::QueuedConnection);
        }
        return false;
    }
};

} // namespace

class BenchScheme : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_dir.isValid());
        QDir::setCurrent(m_dir.path());
        QByteArray names, colours;
        for (int i = 1; i <= kSets; ++i) {
            names += "\"scheme" + QByteArray::number(i) + "\"\r\n";
            colours += QByteArray::number(i, 16).toUpper().rightJustified(6, '0').repeated(6);
        }
        QVERIFY(bench::writeFile(QStringLiteral("set.dat"), names));
        QVERIFY(bench::writeFile(QStringLiteral("colorset.dat"), colours));
    }

    // Each round saves one set at the end and deletes one from the middle, so
    // that the files stay at 10,000 sets.
    void saveAndDeleteAmongTenThousand()
    {
        ColorSetStore store;
        const ColorSetRecord record = ColorSetRecord::fromColors(
            {0x000000, 0xFFFFFF, 0xFF0000, 0x800080, 0x0000FF, 0x00FF00});
        QList<double> saves, deletes;
        QElapsedTimer timer;
        for (int round = 0; round < kRounds; ++round) {
            timer.start();
            QVERIFY(store.save(QStringLiteral("saved"), record).ok);
            saves << timer.nsecsElapsed() / 1e6;
            timer.start();
            QVERIFY(store.remove(kSets / 2).ok);
            deletes << timer.nsecsElapsed() / 1e6;
        }
        report("save a set after 10,000", saves);
        report("delete the middle set of 10,001", deletes);
    }

    void codeViewToFirstPaint()
    {
        const std::unique_ptr<MainWindow> window = Startup::start();
        QVERIFY(window && QTest::qWaitForWindowExposed(window.get()));
        window->cmdswap_Click();
        FirstPaint probe;
        qApp->installEventFilter(&probe);
        QList<double> opens;
        for (int round = 0; round < kRounds; ++round) {
            probe.paintedNs = -1;
            probe.clock.start();
            window->cmdcss_Click(); // returns once the view has painted and closed
            QVERIFY(probe.paintedNs >= 0);
            opens << probe.paintedNs / 1e6;
        }
        report("code view, press to first paint", opens);
    }

    // A colour change as picking makes it: one element new, the table anew.
    void contrastTable()
    {
        SchemeCheck check;
        SchemeCheck::Scheme scheme{0x000000, 0xFFFFFF, 0xEE0000, 0x8B1A55, 0x0000EE, 0x0000EE};
        int i = 0;
        QBENCHMARK
        {
            scheme[ColorSetRecord::Background] = ColorValue(i++ * 0x010203 & 0xFFFFFF);
            check.evaluate(scheme);
        }
        QVERIFY(check.pairs().front().ratio);
    }

    // Hard cases: far to go, chroma to give up, both directions open.
    void nearestPassingColour()
    {
        const ColorValue cases[][2] = {{0xCCFF80, 0xFFFFFF}, {0x0000FF, 0x000000},
                                       {0x777777, 0x777777}, {0x33CCFF, 0xFFFFFF},
                                       {0x00FF00, 0x808080}, {0xFF00FF, 0x202020}};
        std::optional<ColorValue> found;
        QBENCHMARK
        {
            for (const auto& c : cases)
                found = nearestPassing(c[0], c[1], 4.5);
        }
        QVERIFY(found);
    }

    void checkSetAllProcess()
    {
        QList<double> runs;
        for (int round = 0; round < 5; ++round) {
            QProcess program;
            program.setStandardOutputFile(QProcess::nullDevice());
            QElapsedTimer timer;
            timer.start();
            program.start(QStringLiteral(TINTARO_PROGRAM),
                          {QStringLiteral("--check-set"), QStringLiteral("all")});
            QVERIFY(program.waitForFinished(60000));
            runs << timer.nsecsElapsed() / 1e6;
            QVERIFY(program.exitCode() == 0 || program.exitCode() == 3);
        }
        report("tintaro --check-set all over 10,000 sets, whole process", runs);
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(BenchScheme)
#include "bench_scheme.moc"
