// Start-up to the main window's first paint, and the idle resident memory
// after it, with an empty and with a 60 MB mycolor.rgb: the parent times
// QProcess::start of `bench_startup --child` (the program's own start plus a
// probe) to its "painted" line, cases interleaved. Needs a display: run it
// through run-startup.sh.
//
//   bench_startup [--runs N] [--data DIR] [--check]
#include "MainWindow.h"
#include "Startup.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include "bench_common.h"

namespace {

// At the main window's first paint prints "painted MS"; 300 ms on, once the
// event queue is empty, "rss_kb KB"; and quits.
class FirstPaintProbe : public QObject
{
public:
    QElapsedTimer sinceMain;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (m_painted || event->type() != QEvent::Paint ||
            watched->objectName() != QLatin1String("frmshowcolor"))
            return false;
        m_painted = true;
        std::printf("painted %.3f\n", double(sinceMain.nsecsElapsed()) / 1e6);
        std::fflush(stdout);
        QTimer::singleShot(300, this, [this] {
            connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock,
                    this, [this] {
                        if (std::exchange(m_reported, true))
                            return;
                        std::printf("rss_kb %ld\n", bench::residentKilobytes());
                        std::fflush(stdout);
                        QCoreApplication::quit();
                    });
        });
        return false;
    }

private:
    bool m_painted = false;
    bool m_reported = false;
};

int runChild(int argc, char* argv[])
{
    QElapsedTimer sinceMain;
    sinceMain.start();
    // As main.cpp does.
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tintaro"));
    QCoreApplication::setOrganizationName(QStringLiteral("tintaro"));
    FirstPaintProbe probe;
    probe.sinceMain = sinceMain;
    app.installEventFilter(&probe);
    const std::unique_ptr<tintaro::MainWindow> window = tintaro::Startup::start();
    return window ? QApplication::exec() : 1;
}

struct Case
{
    const char* name;
    qint64 records;
    QTemporaryDir folder{};
    std::vector<double> toPaint{}, childPaint{}, rss{};
};

// One start in `c`'s folder, its figures kept when `keep`.
bool runOnce(Case& c, bool keep)
{
    QProcess child;
    child.setWorkingDirectory(c.folder.path());
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer clock;
    clock.start();
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child")});
    QByteArray out;
    while (!out.contains('\n') && child.waitForReadyRead(30000))
        out += child.readAll();
    const double toPaint = double(clock.nsecsElapsed()) / 1e6;
    const bool ended = child.waitForFinished(30000) && child.exitCode() == 0;
    const QList<QByteArray> words = (out + child.readAll()).simplified().split(' ');
    if (!ended || words.size() != 4 || words[0] != "painted" || words[2] != "rss_kb") {
        std::fprintf(stderr, "bench_startup: %s: no first paint and memory, or no clean end\n",
                     c.name);
        return false;
    }
    if (keep) {
        c.toPaint.push_back(toPaint);
        c.childPaint.push_back(words[1].toDouble());
        c.rss.push_back(words[3].toDouble());
    }
    return true;
}

int runParent(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    int runs = 10;
    bool check = false;
    QString data = QStringLiteral(TINTARO_DATA_DIR);
    const QStringList args = QCoreApplication::arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--runs") && i + 1 < args.size())
            runs = std::max(1, args[++i].toInt());
        else if (args[i] == QLatin1String("--data") && i + 1 < args.size())
            data = args[++i];
        else if (args[i] == QLatin1String("--check"))
            check = true;
        else {
            std::fprintf(stderr, "usage: bench_startup [--runs N] [--data DIR] [--check]\n");
            return 2;
        }
    }
    Case cases[2] = {{"empty mycolor.rgb", 0}, {"60 MB mycolor.rgb", 10000000}};
    for (Case& c : cases) {
        if (!c.folder.isValid() ||
            !bench::prepareFolder(data, c.folder.path(), bench::records(c.records))) {
            std::fprintf(stderr, "bench_startup: cannot prepare the %s case\n", c.name);
            return 1;
        }
    }
    // One unmeasured run per case first brings the program and the files
    // into the page cache.
    for (int i = -1; i < runs; ++i)
        for (Case& c : cases)
            if (!runOnce(c, i >= 0))
                return 1;

    for (const Case& c : cases) {
        const auto [lo, hi] = std::minmax_element(c.toPaint.begin(), c.toPaint.end());
        std::printf("%-18s start to first paint: median %8.2f ms (min %.2f, max %.2f); "
                    "inside the child: median %.2f ms; idle resident memory: median %.0f kB\n",
                    c.name, bench::median(c.toPaint), *lo, *hi, bench::median(c.childPaint),
                    bench::median(c.rss));
    }
    const double difference = bench::median(cases[1].toPaint) - bench::median(cases[0].toPaint);
    std::printf("difference (60 MB - empty): %+.2f ms; target: at most 10 ms: %s\n", difference,
                difference <= 10 ? "met" : "MISSED");
    return check && difference > 10 ? 1 : 0;
}

} // namespace

int main(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--child") == 0)
            return runChild(argc, argv);
    return runParent(argc, argv);
}
