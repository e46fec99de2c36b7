// A picking session on the real X11 platform, in-process, with the real
// screen grabber:
//   (a) Start (MainWindow::cmdstart_Click, no wait before the image) to the
//       picking window exposed and its first full paint flushed;
//   (b) one pointer movement over the image (PickWindow::Form_MouseMove),
//       with the main window expanded and the "Background" target chosen;
//   (c) one pick (PickWindow::Form_MouseUp: append and grid refill);
//   (d) resident memory idle after start-up against during a session, and
//       the difference as a multiple of one desktop image.
//
//   bench_picking [--sessions N] [--moves N] [--picks N] [--data DIR] [--check]
//
// The screen shows a pattern whose every pixel differs from its neighbours
// (drawn by a second copy of this program, `bench_picking --pattern`, so
// that its memory is not counted), so every movement shows a new colour
// and every pick shifts 144 distinct swatches, as on a busy real screen.
// Each movement's colour is checked against the pattern.
//
// Needs QT_QPA_PLATFORM=xcb and an X server of the size to measure:
// run-picking.sh gives it a private Xvfb. With --check the exit status is 1
// when a figure misses its target.
#include "MainWindow.h"
#include "PickWindow.h"
#include "QtScreenGrabber.h"
#include "Startup.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPixmap>
#include <QPainter>
#include <QPointer>
#include <QProcess>
#include <QRasterWindow>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <cstring>
#include <memory>
#include <vector>

#ifndef TINTARO_DATA_DIR
#define TINTARO_DATA_DIR "data"
#endif

using namespace tintaro;

namespace {

constexpr int kUserRecords = 1000;   // a full grid, and pages to spare
constexpr int kTimeoutMs = 20000;    // for anything awaited from the X server
constexpr int kSettleMs = 300;       // quiet time before a memory reading
constexpr double kMoveTargetMs = 0.1;
constexpr double kPickTargetMs = 1.0;
constexpr double kMemoryTargetRatio = 1.5;

double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, std::size_t(p * double(v.size() - 1) + 0.5))];
}

// The screen's pattern at physical pixel (x, y): red x & 255, green y & 255,
// blue the upper bits of both.
QRgb patternPixel(int x, int y)
{
    return qRgb(x & 255, y & 255, ((x >> 8) & 15) | (((y >> 8) & 15) << 4));
}

ColorValue patternColor(QPoint p)
{
    const QRgb rgb = patternPixel(p.x(), p.y());
    return makeColor(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

double msSince(const QElapsedTimer& clock) { return double(clock.nsecsElapsed()) / 1e6; }

// Fields of /proc/self/status, in kB.
long statusKilobytes(const char* field)
{
    // /proc files have no size: read them whole rather than to atEnd().
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

struct Memory
{
    long rss = -1, anon = -1, file = -1, shmem = -1;
    // The C library's heap: blocks in use, blocks mapped on their own, and
    // free memory it holds on to (all kB; -1 where unknown).
    long heapInUse = -1, mapped = -1, heapFree = -1;
    static Memory now()
    {
        Memory m{statusKilobytes("VmRSS"), statusKilobytes("RssAnon"), statusKilobytes("RssFile"),
                 statusKilobytes("RssShmem")};
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 33))
        const struct mallinfo2 info = mallinfo2();
        m.heapInUse = long(info.uordblks / 1024);
        m.mapped = long(info.hblkhd / 1024);
        m.heapFree = long(info.fordblks / 1024);
#endif
        return m;
    }
};

// Lets every queued event and timer run for `ms` milliseconds.
void settle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    QCoreApplication::processEvents();
}

// Runs the event loop until `done` holds (checked after every event
// batch, and at least every 5 ms) or the time runs out.
template <class Predicate>
bool waitFor(Predicate done, int timeoutMs = kTimeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (!done())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents);
    }
    return true;
}

// One X round trip: every request sent so far (the flush of a paint
// included) has been carried out once it returns.
void roundTrip()
{
    if (QScreen* screen = QGuiApplication::primaryScreen())
        (void)screen->grabWindow(0, 0, 0, 1, 1);
}

// The real grabber, timed.
class TimedGrabber : public ScreenGrabber
{
public:
    std::optional<DesktopShot> grab(QString* whyNot) override
    {
        QElapsedTimer clock;
        clock.start();
        std::optional<DesktopShot> shot = m_real.grab(whyNot);
        lastMs = msSince(clock);
        return shot;
    }
    double lastMs = 0;

private:
    QtScreenGrabber m_real;
};

// Watches the picking window's expose events: the first one that leaves the
// window exposed is handed to the window here, so that the moment its
// first full paint has been flushed can be taken as it happens.
class FirstPaintWatch : public QObject
{
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Expose || painted || !watched->isWindowType() ||
            watched->objectName() != QLatin1String("frmGetColor"))
            return false;
        auto* window = static_cast<QWindow*>(watched);
        if (!window->isExposed())
            return false;
        static_cast<QObject*>(window)->event(event); // paints the whole image and flushes it
        flushedMs = msSince(clock);
        roundTrip();
        onScreenMs = msSince(clock);
        painted = true;
        return true;
    }

    void arm()
    {
        painted = false;
        clock.start();
    }

    QElapsedTimer clock;
    bool painted = false;
    double flushedMs = 0;
    double onScreenMs = 0;
};

struct Bench
{
    std::unique_ptr<MainWindow> window;
    TimedGrabber* grabber = nullptr;
    FirstPaintWatch watch;
    QSize screen;

    bool fail(const char* what)
    {
        std::fprintf(stderr, "bench_picking: %s\n", what);
        return false;
    }

    // One Start with the times of its parts; false when the picking window
    // did not come up.
    struct Session
    {
        double toFlushMs = 0, toScreenMs = 0, inClickMs = 0, grabMs = 0;
    };
    bool start(Session* s)
    {
        watch.arm();
        window->cmdstart_Click();
        s->inClickMs = msSince(watch.clock);
        s->grabMs = grabber->lastMs;
        if (!window->pickWindow())
            return fail("Start made no picking window");
        if (!waitFor([this] { return watch.painted; }))
            return fail("the picking window was not exposed and painted in time");
        s->toFlushMs = watch.flushedMs;
        s->toScreenMs = watch.onScreenMs;
        if (!window->pickWindow()->hasImage())
            return fail("the session has no image of the screen");
        return true;
    }

    bool stop()
    {
        QPointer<PickWindow> picking = window->pickWindow();
        window->cmdstop_Click();
        // The window goes at the next turn of the event loop; processEvents()
        // alone never carries out a deferred deletion.
        if (!waitFor([&] {
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                return picking.isNull() && window->windowHandle() && window->windowHandle()->isExposed();
            }))
            return fail("Stop did not release the picking window");
        roundTrip();
        return true;
    }
};

// `--pattern`: covers the screen with the pattern, under every other
// window, says "shown" once it is on the screen and stays until killed.
class PatternWindow : public QRasterWindow
{
public:
    explicit PatternWindow(QSize physical) : m_image(physical, QImage::Format_RGB32)
    {
        for (int y = 0; y < physical.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(m_image.scanLine(y));
            for (int x = 0; x < physical.width(); ++x)
                line[x] = patternPixel(x, y);
        }
        m_image.setDevicePixelRatio(devicePixelRatio());
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter(this).drawImage(QPoint(), m_image);
        if (!m_shown) {
            m_shown = true;
            QTimer::singleShot(0, [] {
                roundTrip();
                std::printf("shown\n");
                std::fflush(stdout);
            });
        }
    }

private:
    QImage m_image;
    bool m_shown = false;
};

int runPattern(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    QScreen* screen = QGuiApplication::primaryScreen();
    PatternWindow window(screen->geometry().size() * screen->devicePixelRatio());
    window.setFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnBottomHint |
                    Qt::WindowDoesNotAcceptFocus);
    window.setGeometry(screen->geometry());
    window.show();
    return QGuiApplication::exec();
}

// Starts the pattern and waits until it is on the screen.
bool showPattern(QProcess* pattern)
{
    pattern->setProgram(QCoreApplication::applicationFilePath());
    pattern->setArguments({QStringLiteral("--pattern")});
    pattern->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    pattern->start();
    if (!pattern->waitForStarted(kTimeoutMs))
        return false;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kTimeoutMs) {
        if (pattern->canReadLine() && pattern->readLine().trimmed() == "shown")
            return true;
        if (!pattern->canReadLine() && !pattern->waitForReadyRead(1000) &&
            pattern->state() != QProcess::Running)
            return false;
    }
    return false;
}

bool copyShippedData(const QString& from, const QString& to)
{
    for (const char* name : {"set.dat", "colorset.dat", "websafe.rgb"}) {
        const QString source = from + QLatin1Char('/') + QLatin1String(name);
        if (!QFile::copy(source, to + QLatin1Char('/') + QLatin1String(name))) {
            std::fprintf(stderr, "bench_picking: cannot copy %s\n", qPrintable(source));
            return false;
        }
    }
    QFile colours(to + QStringLiteral("/mycolor.rgb"));
    if (!colours.open(QIODevice::WriteOnly))
        return false;
    for (int i = 0; i < kUserRecords; ++i)
        colours.write(QByteArray::number(qint64(i) * 4099 % 0xFFFFFF, 16).toUpper().rightJustified(6, '0'));
    return colours.flush();
}

// Points spread over the screen, each on a pixel other than the one before,
// where the floating sample lies wholly on the screen: the steady work of a
// movement. The edges, where it does not, are the end-to-end test's.
std::vector<QPointF> spreadPoints(QSize screen, int count)
{
    const int left = 0, top = -PickWindow::kSampleDy;
    const int right = screen.width() - PickWindow::kSampleDx - PickWindow::kSampleWidth;
    const int bottom = screen.height();
    std::vector<QPointF> points;
    quint32 seed = 12345;
    auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    QPoint last(-1, -1);
    while (int(points.size()) < count) {
        const QPoint p(left + int((next() >> 8) % quint32(right - left)),
                       top + int((next() >> 8) % quint32(bottom - top)));
        if (p == last)
            continue;
        points.emplace_back(p);
        last = p;
    }
    return points;
}

const char* verdict(bool met) { return met ? "met" : "MISSED"; }

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
    QString data = QStringLiteral(TINTARO_DATA_DIR);
    const QStringList args = QCoreApplication::arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--sessions") && i + 1 < args.size())
            sessions = std::max(1, args[++i].toInt());
        else if (args[i] == QLatin1String("--moves") && i + 1 < args.size())
            moves = std::max(10, args[++i].toInt());
        else if (args[i] == QLatin1String("--picks") && i + 1 < args.size())
            picks = std::max(10, args[++i].toInt());
        else if (args[i] == QLatin1String("--data") && i + 1 < args.size())
            data = args[++i];
        else if (args[i] == QLatin1String("--check"))
            check = true;
        else {
            std::fprintf(stderr, "usage: bench_picking [--sessions N] [--moves N] [--picks N] "
                                 "[--data DIR] [--check]\n");
            return 2;
        }
    }
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        std::fprintf(stderr, "bench_picking: runs on the X11 platform only (this is '%s'); run it "
                             "through run-picking.sh\n",
                     qPrintable(QGuiApplication::platformName()));
        return 2;
    }

    QTemporaryDir folder;
    if (!folder.isValid() || !copyShippedData(data, folder.path())) {
        std::fprintf(stderr, "bench_picking: cannot prepare the data folder\n");
        return 1;
    }
    QDir::setCurrent(folder.path());

    Bench b;
    b.screen = QGuiApplication::primaryScreen()->geometry().size() *
               QGuiApplication::primaryScreen()->devicePixelRatio();
    const double imageBytes = double(b.screen.width()) * b.screen.height() * 4;
    const qint64 pixels = qint64(b.screen.width()) * b.screen.height();
    const double startTargetMs = pixels <= 1920 * 1080 ? 100 : pixels <= 3840 * 2160 ? 250 : 0;
    std::printf("bench_picking: screen %dx%d on '%s'; %d sessions, %d moves, %d picks\n",
                b.screen.width(), b.screen.height(), qPrintable(QGuiApplication::platformName()),
                sessions, moves, picks);

    QProcess pattern;
    if (!showPattern(&pattern)) {
        std::fprintf(stderr, "bench_picking: the screen pattern did not come up\n");
        return 1;
    }
    struct StopPattern
    {
        QProcess& p;
        ~StopPattern()
        {
            p.kill();
            p.waitForFinished(5000);
        }
    } stopPattern{pattern};

    b.window = Startup::start();
    if (!b.window)
        return 1;
    auto grabber = std::make_unique<TimedGrabber>();
    b.grabber = grabber.get();
    b.window->setScreenGrabber(std::move(grabber));
    b.window->setPickDelay(0);
    app.installEventFilter(&b.watch);
    if (!waitFor([&] { return b.window->windowHandle() && b.window->windowHandle()->isExposed(); })) {
        std::fprintf(stderr, "bench_picking: the main window was not shown\n");
        return 1;
    }

    // (d) Idle after start-up, then during a first session (which also
    // warms up the timings below).
    settle(kSettleMs);
    const Memory idle = Memory::now();
    Bench::Session first;
    if (!b.start(&first))
        return 1;
    PickWindow* pw = b.window->pickWindow();
    for (const QPointF& p : spreadPoints(b.screen, 5)) {
        pw->Form_MouseMove(p);
        QCoreApplication::processEvents();
    }
    settle(kSettleMs);
    const Memory during = Memory::now();
    if (!b.stop())
        return 1;
    settle(kSettleMs);
    const Memory after = Memory::now();

    // (a) Start to the first full paint.
    std::vector<double> toFlush, toScreen, inClick, grab;
    for (int i = 0; i < sessions; ++i) {
        Bench::Session s;
        if (!b.start(&s) || !b.stop())
            return 1;
        toFlush.push_back(s.toFlushMs);
        toScreen.push_back(s.toScreenMs);
        inClick.push_back(s.inClickMs);
        grab.push_back(s.grabMs);
        settle(50);
    }

    // (b) Pointer movements, main window expanded, "Background" target.
    b.window->cmdswap_Click();
    b.window->controls().optbg->click();
    if (!b.window->isExpanded() || !b.window->controls().optbg->isChecked()) {
        std::fprintf(stderr, "bench_picking: could not expand the window and choose Background\n");
        return 1;
    }
    Bench::Session s;
    if (!b.start(&s))
        return 1;
    pw = b.window->pickWindow();
    const QRect mainArea = b.window->frameGeometry().adjusted(-2, -2, 2, 2);
    std::vector<double> move;
    int wrong = 0;
    const std::vector<QPointF> points = spreadPoints(b.screen, moves + picks * 2 + 1);
    std::size_t at = 0;
    QElapsedTimer clock;
    for (int i = 0; i < moves; ++i) {
        const QPointF p = points[at++];
        clock.start();
        pw->Form_MouseMove(p);
        move.push_back(msSince(clock));
        QCoreApplication::processEvents();
        // What was shown is the screen's pixel under the pointer. Where the
        // main window stood, the image holds whatever the pattern's program
        // had repainted when it was taken: with no wait before it, that may
        // still be the main window.
        const std::optional<QPoint> pixel = pw->pixelUnder(p);
        if (mainArea.contains(p.toPoint()))
            continue;
        if (!pixel || b.window->state().PointerColor != patternColor(*pixel) ||
            (i % 97 == 0 && b.window->schemeColors()[1] != patternColor(*pixel)))
            ++wrong;
    }
    if (wrong) {
        std::fprintf(stderr, "bench_picking: %d movements showed a colour other than the screen's\n", wrong);
        return 1;
    }

    // (c) Picks, each after a movement to a new pixel.
    const qint64 sizeBefore = QFileInfo(QStringLiteral("mycolor.rgb")).size();
    std::vector<double> pick;
    for (int i = 0; i < picks; ++i) {
        const QPointF p = points[at++];
        pw->Form_MouseMove(p);
        QCoreApplication::processEvents();
        const std::optional<QPoint> pixel = pw->pixelUnder(p);
        if (!mainArea.contains(p.toPoint()) &&
            (!pixel || b.window->state().PointerColor != patternColor(*pixel)))
            ++wrong;
        clock.start();
        pw->Form_MouseUp();
        pick.push_back(msSince(clock));
        QCoreApplication::processEvents();
    }
    const ColorValue last = b.window->state().PointerColor;
    if (wrong) {
        std::fprintf(stderr, "bench_picking: %d picks took a colour other than the screen's\n", wrong);
        return 1;
    }

    // Where the time of a movement goes: the same movements with the
    // target None, then with nothing connected to the picking window.
    auto timeMoves = [&](std::vector<double>* times) {
        for (int i = 0; i < moves / 4; ++i) {
            const QPointF p = points[std::size_t(i)];
            clock.start();
            pw->Form_MouseMove(p);
            times->push_back(msSince(clock));
            QCoreApplication::processEvents();
        }
    };
    std::vector<double> moveNone, moveAlone;
    b.window->controls().optnone->click();
    timeMoves(&moveNone);
    QObject::disconnect(pw, &PickWindow::pointerMoved, nullptr, nullptr);
    timeMoves(&moveAlone);
    if (!b.stop())
        return 1;
    QFile colours(QStringLiteral("mycolor.rgb"));
    const qint64 sizeAfter = QFileInfo(colours).size();
    QByteArray tail;
    if (colours.open(QIODevice::ReadOnly) && colours.seek(sizeAfter - 6))
        tail = colours.read(6);
    const QByteArray expectedTail =
        QStringLiteral("%1%2%3").arg(RedHex(last), GreenHex(last), BlueHex(last)).toLatin1();
    if (sizeAfter - sizeBefore != qint64(picks) * 6 || tail != expectedTail) {
        std::fprintf(stderr, "bench_picking: the picks wrote %lld bytes ending '%s'; expected %lld "
                             "ending '%s'\n",
                     sizeAfter - sizeBefore, tail.constData(), qint64(picks) * 6, expectedTail.constData());
        return 1;
    }

    // Figures.
    bool allMet = true;
    auto mark = [&allMet](bool met) {
        allMet = allMet && met;
        return verdict(met);
    };
    const double startMedian = median(toFlush);
    std::printf("(a) Start to picking window painted (first full paint flushed), %dx%d: median %.1f ms "
                "(min %.1f, max %.1f) | target <= %.0f ms: %s\n",
                b.screen.width(), b.screen.height(), startMedian,
                *std::min_element(toFlush.begin(), toFlush.end()),
                *std::max_element(toFlush.begin(), toFlush.end()), startTargetMs,
                startTargetMs > 0 ? mark(startMedian <= startTargetMs) : "no target for this size");
    std::printf("    of which: screen grab %.1f ms, whole Start handler %.1f ms; on screen after "
                "one X round trip %.1f ms (medians); first, cold session %.1f ms\n",
                median(grab), median(inClick), median(toScreen), first.toFlushMs);
    std::printf("(b) pointer movement (Form_MouseMove), expanded, Background target: median %.4f ms "
                "(90th percentile %.4f) | target <= %.1f ms: %s\n",
                median(move), percentile(move, 0.9), kMoveTargetMs, mark(median(move) <= kMoveTargetMs));
    std::printf("    for comparison: with the target None %.4f ms; the picking window alone, nothing "
                "connected to it, %.4f ms (medians)\n",
                median(moveNone), median(moveAlone));
    std::printf("(c) pick (Form_MouseUp: append and grid refill): median %.4f ms (90th percentile "
                "%.4f) | target <= %.1f ms: %s\n",
                median(pick), percentile(pick, 0.9), kPickTargetMs, mark(median(pick) <= kPickTargetMs));
    const double diff = double(during.rss - idle.rss) * 1024;
    const double ratio = diff / imageBytes;
    std::printf("(d) resident memory: idle %ld kB, during a session %ld kB, after it %ld kB; "
                "difference %.1f MB = %.2f x the %dx%dx4 image (%.1f MB) | target <= %.1f: %s\n",
                idle.rss, during.rss, after.rss, diff / 1048576, ratio, b.screen.width(),
                b.screen.height(), imageBytes / 1048576, kMemoryTargetRatio,
                mark(ratio <= kMemoryTargetRatio));
    for (const auto& [name, m] : {std::pair<const char*, const Memory&>{"idle", idle},
                                  {"during", during}, {"after", after}})
        std::printf("    %-6s: anonymous %ld, file %ld, shared %ld kB; C heap in use %ld, mapped "
                    "blocks %ld, free but held %ld kB\n",
                    name, m.anon, m.file, m.shmem, m.heapInUse, m.mapped, m.heapFree);

    b.window.reset();
    return check && !allMet ? 1 : 0;
}
