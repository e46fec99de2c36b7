// The colour sets: saving and deleting among 10,000, and the code view from
// its button to its first paint.
#include "ColorSetStore.h"
#include "MainWindow.h"
#include "Startup.h"

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

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(BenchScheme)
#include "bench_scheme.moc"
