#include "ColorSetStore.h"
#include "MainWindow.h"
#include "Startup.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

using namespace tintaro;

namespace {

constexpr int kSets = 10000;
constexpr int kRounds = 20;

void writeFile(const QString& name, const QByteArray& bytes)
{
    QFile file(name);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

// Median and worst of a set of timings, in milliseconds.
void report(const char* what, QList<double> ms)
{
    std::sort(ms.begin(), ms.end());
    qInfo("%s: median %.2f ms, worst %.2f ms over %lld runs", what, ms.at(ms.size() / 2),
          ms.constLast(), qlonglong(ms.size()));
}

// Notes the first paint of the code view and closes it right away.
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
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

// The colour sets as the user meets them: saving and deleting among many
// sets, and opening the code view.
class BenchScheme : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void saveAndDeleteAmongTenThousand();
    void codeViewToFirstPaint();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_previous = QDir::currentPath();
};

void BenchScheme::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QDir::setCurrent(m_dir->path());
    QByteArray names;
    QByteArray colours;
    for (int i = 1; i <= kSets; ++i) {
        names += "\"scheme" + QByteArray::number(i) + "\"\r\n";
        colours += QByteArray::number(i, 16).toUpper().rightJustified(6, '0').repeated(6);
    }
    writeFile(QStringLiteral("set.dat"), names);
    writeFile(QStringLiteral("colorset.dat"), colours);
}

void BenchScheme::cleanup()
{
    QDir::setCurrent(m_previous);
    m_dir.reset();
}

// Each round saves one set at the end and deletes one from the middle, so
// that the files stay at 10,000 sets.
void BenchScheme::saveAndDeleteAmongTenThousand()
{
    ColorSetStore store;
    const ColorSetRecord record =
        ColorSetRecord::fromColors({0x000000, 0xFFFFFF, 0xFF0000, 0x800080, 0x0000FF, 0x00FF00});
    QList<double> saves;
    QList<double> deletes;
    QElapsedTimer timer;
    for (int round = 0; round < kRounds; ++round) {
        timer.start();
        QVERIFY(store.save(QStringLiteral("saved"), record).ok);
        saves << timer.nsecsElapsed() / 1e6;
        timer.start();
        QVERIFY(store.remove(kSets / 2).ok);
        deletes << timer.nsecsElapsed() / 1e6;
    }
    QCOMPARE(QFileInfo(QStringLiteral("colorset.dat")).size(), qint64(kSets) * 36);
    report("save a set after 10,000", saves);
    report("delete the middle set of 10,001", deletes);
}

// From the press of "View code" to the view's first paint.
void BenchScheme::codeViewToFirstPaint()
{
    const std::unique_ptr<MainWindow> window = Startup::start();
    QVERIFY(window);
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
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
    qApp->removeEventFilter(&probe);
    report("code view, press to first paint", opens);
}

QTEST_MAIN(BenchScheme)
#include "bench_scheme.moc"
