// A picking session on the real X11 platform (run-picking.sh gives it a
// private Xvfb of the size to measure) or on Wayland (run-picking.sh
// --wayland: a headless sway with the desktop portal): (a) Start to the
// picking window's first full paint flushed, on Wayland split into the
// image's arrival (the portal's round trip, decoding included) and the
// first paint, with the decoding of a screenshot of the same size timed on
// its own (`--decode FILE`); (b) a pointer movement, main window expanded,
// "Background" target; (c) a pick; (d) resident memory during a session
// above idle, against one screen image. On X11 the screen shows a pattern
// whose every pixel differs from its neighbours, drawn by a second copy of
// this program (`--pattern`) so that its memory is not counted; on Wayland
// the compositor's background shows it.
//
//   bench_picking [--sessions N] [--moves N] [--picks N] [--data DIR] [--check]
//                 [--decode FILE]
#include "ColorDetailsWindow.h"
#include "ContrastWindow.h"
#include "MainWindow.h"
#include "PickSession.h"
#include "PickWindow.h"
#include "Startup.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QLabel>
#include <QPointer>
#include <QProcess>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "bench_common.h"

using namespace tintaro;
using bench::median;

namespace {

[[noreturn]] void fail(const char* what, int status = 1)
{
    std::fprintf(stderr, "bench_picking: %s\n", what);
    std::exit(status);
}

double percentile90(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[std::size_t(0.9 * double(v.size() - 1) + 0.5)];
}

// Lets queued events and timers run for `ms`.
void settle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    QCoreApplication::processEvents();
}

template <class Predicate> void waitFor(Predicate done, const char* orElse)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > 20000)
            fail(orElse);
        // Sleeps until something happens rather than spin beside the X server.
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

bool onWayland()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

// One X round trip: every request sent so far has been carried out. (A
// Wayland client cannot read the screen; its flushes are not waited for.)
void roundTrip()
{
    if (!onWayland())
        (void)QGuiApplication::primaryScreen()->grabWindow(0, 0, 0, 1, 1);
}

// Hands the picking window its first exposing event here, so that the moment
// its full paint has been flushed is taken as it happens.
class FirstPaintWatch : public QObject
{
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Expose || painted || !watched->isWindowType() ||
            watched->objectName() != QLatin1String("frmGetColor") ||
            !static_cast<QWindow*>(watched)->isExposed())
            return false;
        static_cast<QObject*>(watched)->event(event);
        flushedMs = clock.nsecsElapsed() / 1e6;
        painted = true;
        return true;
    }
    QElapsedTimer clock;
    bool painted = false;
    double flushedMs = 0;
};

// Start, to the picking window painted: its time, and in `arrivedMs` when
// the image had arrived and the windows were made.
double start(MainWindow& window, FirstPaintWatch& watch, double* arrivedMs = nullptr)
{
    watch.painted = false;
    watch.clock.start();
    window.cmdstart_Click();
    if (arrivedMs && window.pickSession())
        QObject::connect(window.pickSession(), &PickSession::shown,
                         [&watch, arrivedMs] { *arrivedMs = watch.clock.nsecsElapsed() / 1e6; });
    waitFor([&] { return window.pickWindow() && watch.painted; }, "Start painted no window");
    if (!window.pickWindow()->hasImage())
        fail("the session has no image of the screen");
    return watch.flushedMs;
}

void stop(MainWindow& window)
{
    QPointer<PickWindow> picking = window.pickWindow();
    window.cmdstop_Click();
    // processEvents() alone never carries out a deferred deletion.
    waitFor(
        [&] {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            return picking.isNull() && window.windowHandle()->isExposed();
        },
        "Stop did not release the picking window");
    roundTrip();
}

// `--pattern`: covers the screen under every other window, says "shown" once
// it is on the screen, and stays until killed.
int runPattern(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QImage image(screen.size(), QImage::Format_RGB32);
    for (int y = 0; y < screen.height(); ++y)
        for (int x = 0; x < screen.width(); ++x)
            image.setPixel(x, y, qRgb(x & 255, y & 255, ((x >> 8) & 15) | (((y >> 8) & 15) << 4)));
    QLabel label;
    label.setPixmap(QPixmap::fromImage(image));
    label.setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnBottomHint |
                         Qt::WindowDoesNotAcceptFocus);
    label.setGeometry(screen);
    label.show();
    waitFor([&] { return label.windowHandle()->isExposed(); }, "the pattern was not shown");
    roundTrip();
    std::printf("shown\n");
    std::fflush(stdout);
    return QApplication::exec();
}

// Distinct successive points where the floating sample lies wholly on the
// screen: the steady work of a movement.
std::vector<QPointF> spreadPoints(QSize screen, int count)
{
    const int top = -PickWindow::kSampleDy;
    const int right = screen.width() - PickWindow::kSampleDx - PickWindow::kSampleWidth;
    QRandomGenerator random(12345);
    std::vector<QPointF> points;
    while (int(points.size()) < count) {
        const QPointF p(random.bounded(right), random.bounded(top, screen.height()));
        if (points.empty() || p != points.back())
            points.push_back(p);
    }
    return points;
}

} // namespace

int main(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--pattern") == 0)
            return runPattern(argc, argv);
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tintaro"));
    QCoreApplication::setOrganizationName(QStringLiteral("tintaro"));
    int sessions = 10, moves = 2000, picks = 300;
    bool check = false;
    QString decode;
    QString data = QStringLiteral(TINTARO_DATA_DIR);
    const QStringList args = QCoreApplication::arguments();
    for (int i = 1; i < args.size(); ++i) {
        const bool value = i + 1 < args.size();
        if (args[i] == QLatin1String("--sessions") && value)
            sessions = std::max(1, args[++i].toInt());
        else if (args[i] == QLatin1String("--moves") && value)
            moves = std::max(10, args[++i].toInt());
        else if (args[i] == QLatin1String("--picks") && value)
            picks = std::max(10, args[++i].toInt());
        else if (args[i] == QLatin1String("--data") && value)
            data = args[++i];
        else if (args[i] == QLatin1String("--check"))
            check = true;
        else if (args[i] == QLatin1String("--decode") && value)
            decode = args[++i];
        else
            fail("usage: bench_picking [--sessions N] [--moves N] [--picks N] [--data DIR] "
                 "[--check] [--decode FILE]",
                 2);
    }
    if (QGuiApplication::platformName() != QLatin1String("xcb") && !onWayland())
        fail("runs on the X11 or Wayland platform only: run it through run-picking.sh", 2);

    QTemporaryDir folder;
    if (!folder.isValid() || !bench::prepareFolder(data, folder.path(), bench::records(1000)))
        fail("cannot prepare the data folder");
    QDir::setCurrent(folder.path());

    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    std::printf("bench_picking: screen %dx%d on '%s'; %d sessions, %d moves, %d picks\n",
                screen.width(), screen.height(), qPrintable(QGuiApplication::platformName()),
                sessions, moves, picks);

    QProcess pattern;
    pattern.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    if (!onWayland()) {
        pattern.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--pattern")});
        if (!pattern.waitForReadyRead(20000) || pattern.readLine().trimmed() != "shown")
            fail("the screen pattern did not come up");
    }

    const std::unique_ptr<MainWindow> window = Startup::start();
    if (!window)
        fail("the program did not start");
    window->setPickDelay(0);
    FirstPaintWatch watch;
    app.installEventFilter(&watch);
    waitFor([&] { return window->windowHandle() && window->windowHandle()->isExposed(); },
            "the main window was not shown");

    // (d), in a first session that also warms up the timings below.
    settle(300);
    const long idle = bench::residentKilobytes();
    start(*window, watch);
    for (const QPointF& p : spreadPoints(screen, 5))
        window->pickWindow()->Form_MouseMove(p);
    settle(300);
    const long during = bench::residentKilobytes();
    stop(*window);
    settle(300);
    const long after = bench::residentKilobytes();

    std::vector<double> toFlush, toArrival, decoding; // (a)
    for (int i = 0; i < sessions; ++i) {
        double arrived = 0;
        toFlush.push_back(start(*window, watch, &arrived));
        toArrival.push_back(arrived);
        stop(*window);
        settle(50);
        if (!decode.isEmpty()) {
            QElapsedTimer clock;
            clock.start();
            if (QImage(decode).convertToFormat(QImage::Format_RGB32).isNull())
                fail("the screenshot to decode cannot be read");
            decoding.push_back(clock.nsecsElapsed() / 1e6);
        }
    }

    // (b) and (c), each pick after a movement to a new pixel.
    window->cmdswap_Click();
    window->controls().optbg->click();
    if (!window->isExpanded() || !window->controls().optbg->isChecked())
        fail("could not expand the window and choose Background");
    start(*window, watch);
    PickWindow* pw = window->pickWindow();
    const std::vector<QPointF> points = spreadPoints(screen, moves + picks);
    std::vector<double> move, pick;
    QElapsedTimer clock;
    for (int i = 0; i < moves + picks; ++i) {
        clock.start();
        pw->Form_MouseMove(points[std::size_t(i)]);
        if (i < moves)
            move.push_back(clock.nsecsElapsed() / 1e6);
        QCoreApplication::processEvents();
        if (i >= moves) {
            clock.start();
            pw->Form_MouseUp();
            pick.push_back(clock.nsecsElapsed() / 1e6);
            QCoreApplication::processEvents();
        }
    }
    // Each movement timed, then the event loop's turn after it (where the
    // painting and whatever follows a movement lazily happen).
    const auto timeMoves = [&](PickWindow* w, std::vector<double>* turns = nullptr) {
        std::vector<double> times;
        for (int i = 0; i < moves; ++i) {
            clock.start();
            w->Form_MouseMove(points[std::size_t(i)]);
            times.push_back(clock.nsecsElapsed() / 1e6);
            clock.start();
            QCoreApplication::processEvents();
            if (turns)
                turns->push_back(clock.nsecsElapsed() / 1e6);
        }
        return times;
    };
    // (b2) the same with the contrast check open, following the background.
    window->openContrastCheck();
    start(*window, watch);
    const std::vector<double> moveChecked = timeMoves(window->pickWindow());
    stop(*window);
    // (b3) and with the colour details open as well: twelve forms a movement.
    window->openColorDetails();
    start(*window, watch);
    std::vector<double> detailsFollow;
    const std::vector<double> moveDetailed = timeMoves(window->pickWindow(), &detailsFollow);
    stop(*window);
    // (b5) and (d2): with the loupe shown (Z), at its first magnification; the
    // contrast check and the details closed again, as in (b).
    window->contrastWindow()->close();
    window->detailsWindow()->close();
    settle(300);
    const long idleBeforeLoupe = bench::residentKilobytes();
    start(*window, watch);
    pw = window->pickWindow();
    pw->Form_MouseMove(points[0]);
    pw->handleKey(Qt::Key_Z, {});
    if (pw->loupeRect().isNull())
        fail("Z showed no loupe");
    const std::vector<double> moveLoupe = timeMoves(pw);
    settle(300);
    const long duringLoupe = bench::residentKilobytes();
    pw->handleKey(Qt::Key_Z, {}); // hidden again for the sessions that follow
    stop(*window);

    // (a3) tintaro --pick, the whole process from its start to the frozen
    // image painted (it says when on its error output), then ended.
    const QString program =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../src/app/tintaro"));
    std::vector<double> pickStart;
    for (int i = 0; i < 5 && QFileInfo(program).isExecutable(); ++i) {
        QProcess oneShot;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TINTARO_TRACE_PAINT"), QStringLiteral("1"));
        oneShot.setProcessEnvironment(env);
        QElapsedTimer clock;
        clock.start();
        oneShot.setReadChannel(QProcess::StandardError);
        oneShot.start(program, {QStringLiteral("--pick")});
        QByteArray said;
        while (!said.contains("frozen image painted") && clock.elapsed() < 10000 &&
               oneShot.state() != QProcess::NotRunning)
            if (oneShot.waitForReadyRead(100))
                said += oneShot.readAllStandardError();
        if (!said.contains("frozen image painted"))
            fail("tintaro --pick painted no frozen image");
        pickStart.push_back(clock.nsecsElapsed() / 1e6);
        oneShot.kill();
        oneShot.waitForFinished();
        settle(100);
    }
    pattern.kill();
    pattern.waitForFinished();

    bool allMet = true;
    auto mark = [&allMet](bool met) {
        allMet = allMet && met;
        return met ? "met" : "MISSED";
    };
    const qint64 pixels = qint64(screen.width()) * screen.height();
    // The portal's round trip is part of the figure on Wayland: more time.
    const double startTargetMs = onWayland()             ? (pixels <= 1920 * 1080 ? 300 : 0)
                                 : pixels <= 1920 * 1080 ? 100
                                 : pixels <= 3840 * 2160 ? 250
                                                         : 0;
    const double startMedian = median(toFlush);
    std::printf("(a) Start to picking window painted (first full paint flushed), %dx%d: median "
                "%.1f ms (min %.1f, max %.1f) | target <= %.0f ms: %s\n",
                screen.width(), screen.height(), startMedian,
                *std::min_element(toFlush.begin(), toFlush.end()),
                *std::max_element(toFlush.begin(), toFlush.end()), startTargetMs,
                startTargetMs > 0 ? mark(startMedian <= startTargetMs) : "no target for this size");
    if (!pickStart.empty())
        std::printf(
            "(a3) tintaro --pick, process start to the frozen image painted: median %.1f ms "
            "(min %.1f, max %.1f) | target <= 300 ms at 1920x1080: %s\n",
            median(pickStart), *std::min_element(pickStart.begin(), pickStart.end()),
            *std::max_element(pickStart.begin(), pickStart.end()),
            pixels <= 1920 * 1080 ? mark(median(pickStart) <= 300) : "no target for this size");
    if (onWayland())
        std::printf("(a1) of which the image's arrival (request, answer, decoding, windows made): "
                    "median %.1f ms; first paint after it: median %.1f ms\n",
                    median(toArrival), startMedian - median(toArrival));
    if (!decoding.empty())
        std::printf("(a2) decoding a %s screenshot of this size on its own: median %.1f ms\n",
                    qPrintable(QFileInfo(decode).suffix()), median(decoding));
    std::printf(
        "(b) pointer movement (Form_MouseMove), expanded, Background target: median %.4f ms "
        "(90th percentile %.4f) | target <= 0.1 ms: %s\n",
        median(move), percentile90(move), mark(median(move) <= 0.1));
    std::printf("(b2) pointer movement with the contrast check open: median %.4f ms (90th "
                "percentile %.4f) | target <= 0.1 ms: %s\n",
                median(moveChecked), percentile90(moveChecked), mark(median(moveChecked) <= 0.1));
    std::printf("(b3) pointer movement with the contrast check and the colour details open: "
                "median %.4f ms (90th percentile %.4f) | target <= 0.1 ms: %s\n",
                median(moveDetailed), percentile90(moveDetailed),
                mark(median(moveDetailed) <= 0.1));
    std::printf("(b4) the event loop's turn after such a movement (the details' twelve forms and "
                "every repaint): median %.4f ms (90th percentile %.4f)\n",
                median(detailsFollow), percentile90(detailsFollow));
    const bool bigScreen = pixels >= 3840 * 2160;
    std::printf("(b5) pointer movement with the loupe shown at %dx: median %.4f ms (90th "
                "percentile %.4f) | target <= 0.3 ms at 3840x2160: %s\n",
                LoupeGeometry::kDefaultZoom, median(moveLoupe), percentile90(moveLoupe),
                bigScreen ? mark(median(moveLoupe) <= 0.3) : "no target for this size");
    std::printf("(c) pick (Form_MouseUp: append and grid refill): median %.4f ms (90th percentile "
                "%.4f) | target <= 1.0 ms: %s\n",
                median(pick), percentile90(pick), mark(median(pick) <= 1.0));
    const double imageBytes = double(pixels) * 4, diff = double(during - idle) * 1024;
    std::printf("(d) resident memory: idle %ld kB, during a session %ld kB, after it %ld kB; "
                "difference %.1f MB = %.2f x the %dx%dx4 image (%.1f MB) | target <= 1.5: %s\n",
                idle, during, after, diff / 1048576, diff / imageBytes, screen.width(),
                screen.height(), imageBytes / 1048576, mark(diff / imageBytes <= 1.5));
    const double loupeDiff = double(duringLoupe - idleBeforeLoupe) * 1024;
    std::printf("(d2) resident memory with the loupe shown: %.1f MB above the %ld kB before = %.2f "
                "x the image | target <= 1.5: %s\n",
                loupeDiff / 1048576, idleBeforeLoupe, loupeDiff / imageBytes,
                mark(loupeDiff / imageBytes <= 1.5));
    return check && !allMet ? 1 : 0;
}
