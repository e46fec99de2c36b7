#include "ClipboardKeeper.h"

#include <QByteArray>
#include <QClipboard>
#include <QDeadlineTimer>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>

#if defined(TINTARO_HAVE_XCB)
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include <cerrno>
#include <cstdlib>
#include <memory>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace tintaro {

#if defined(TINTARO_HAVE_XCB)
namespace {

// What the keeper writes once it owns the clipboard.
constexpr char kReady[] = "ready\n";
// How long the program, already closing, waits for the keeper.
constexpr int kHandshakeMs = 2000;

xcb_window_t selectionOwner(xcb_connection_t* connection, const char* name)
{
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 1, qstrlen(name), name),
                              nullptr),
        &std::free);
    if (!atom || atom->atom == XCB_NONE)
        return XCB_NONE; // an atom nobody has named yet: nobody owns that selection
    const std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> owner(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, atom->atom),
                                      nullptr),
        &std::free);
    return owner ? owner->owner : XCB_NONE;
}

// Whether the window was made through this connection: the server gives each client its
// own range of resource ids.
bool madeHere(xcb_connection_t* connection, xcb_window_t window)
{
    const xcb_setup_t* setup = xcb_get_setup(connection);
    return window != XCB_NONE && (window & ~setup->resource_id_mask) == setup->resource_id_base;
}

// Waits until `fd` is ready for `events`; false when the time is up or the fd failed.
bool waitFor(int fd, short events, const QDeadlineTimer& deadline)
{
    pollfd p{fd, events, 0};
    int rc;
    do {
        rc = ::poll(&p, 1, int(deadline.remainingTime()));
    } while (rc < 0 && errno == EINTR);
    return rc > 0 && (p.revents & events);
}

// Gives the keeper the text, then waits for its one line.
bool handshake(int fd, const QByteArray& text)
{
    const QDeadlineTimer deadline(kHandshakeMs);
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    for (qsizetype sent = 0; sent < text.size();) {
        if (!waitFor(fd, POLLOUT, deadline))
            return false;
        // MSG_NOSIGNAL: a keeper that died must not take this program down with SIGPIPE.
        const ssize_t n =
            ::send(fd, text.constData() + sent, size_t(text.size() - sent), MSG_NOSIGNAL);
        if (n < 0 && errno != EINTR && errno != EAGAIN)
            return false;
        sent += n > 0 ? n : 0;
    }
    ::shutdown(fd, SHUT_WR); // the end of the keeper's input
    QByteArray line;
    while (!line.endsWith('\n')) {
        if (!waitFor(fd, POLLIN, deadline))
            return false;
        char buffer[64];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN))
            return false;
        line.append(buffer, n > 0 ? n : 0);
    }
    return line == kReady;
}

// In the forked child of a program with several threads: only async-signal-safe calls
// until exec. A new session and a second fork: no terminal can ever be acquired, and the
// program has no child left behind to reap.
[[noreturn]] void becomeKeeper(int channel, char* const argv[], long maxFd)
{
    if (::setsid() < 0 || ::fork() != 0)
        ::_exit(0);
    if (channel < 3) // dup2 onto itself would keep its close-on-exec flag
        channel = ::fcntl(channel, F_DUPFD, 3);
    if (channel < 0 || ::dup2(channel, STDIN_FILENO) < 0 || ::dup2(channel, STDOUT_FILENO) < 0)
        ::_exit(1);
    const int null = ::open("/dev/null", O_RDWR);
    if (null < 0 || ::dup2(null, STDERR_FILENO) < 0 || ::chdir("/") != 0)
        ::_exit(1);
    // Nothing else of the program may stay open, above all not its X connection.
    if (::close_range(3, ~0U, 0) != 0)
        for (int fd = 3; fd < maxFd; ++fd)
            ::close(fd);
    ::execv("/proc/self/exe", argv); // the running build, even if its file was replaced
    ::execv(argv[0], argv);
    ::_exit(127);
}

bool startKeeper(const QByteArray& text)
{
    const QByteArray path = QFile::encodeName(QCoreApplication::applicationFilePath());
    char* const argv[] = {const_cast<char*>(path.constData()),
                          const_cast<char*>(ClipboardKeeper::kOption), nullptr};
    const long maxFd = ::sysconf(_SC_OPEN_MAX);
    int channel[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, channel) != 0)
        return false;
    const pid_t child = ::fork();
    if (child == 0)
        becomeKeeper(channel[1], argv, maxFd);
    ::close(channel[1]);
    bool ready = false;
    if (child > 0) {
        while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
        }
        ready = handshake(channel[0], text);
    }
    ::close(channel[0]);
    return ready;
}

QByteArray readAll(int fd)
{
    QByteArray all;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0)
            all.append(buffer, n);
        else if (n == 0 || errno != EINTR)
            return all;
    }
}

bool displayReachable()
{
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool reachable = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return reachable;
}

// Once it owns the clipboard the keeper holds nothing of the program that started it.
bool letGoOfStartingProgram()
{
    const int null = ::open("/dev/null", O_RDWR);
    const bool ok = ::write(STDOUT_FILENO, kReady, sizeof kReady - 1) == ssize_t(sizeof kReady - 1);
    if (null >= 0) {
        ::dup2(null, STDIN_FILENO);
        ::dup2(null, STDOUT_FILENO);
        ::close(null);
    }
    return ok;
}

} // namespace

void ClipboardKeeper::handOverAtExit()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    // A clipboard manager takes the text over by itself when Qt's clipboard goes away.
    if (!connection || selectionOwner(connection, "CLIPBOARD_MANAGER") != XCB_NONE)
        return;
    // With no event loop running, Qt may not have heard yet that another program took the
    // clipboard: the server says who owns it, lest the keeper take it back.
    const QClipboard* clipboard = QGuiApplication::clipboard();
    if (!madeHere(connection, selectionOwner(connection, "CLIPBOARD")) ||
        !clipboard->ownsClipboard())
        return;
    const QMimeData* data = clipboard->mimeData();
    const QString text = data && data->hasText() ? data->text() : QString();
    if (!text.isEmpty() && !startKeeper(text.toUtf8()))
        qWarning("The copied text could not be kept on the clipboard after the program ends.");
}

int ClipboardKeeper::runKeeper()
{
    const QByteArray text = readAll(STDIN_FILENO);
    // Checked first: Qt would abort without a display.
    if (text.isEmpty() || !displayReachable())
        return 2;
    // A process the session manager is not to save or restore, and X11 whatever the
    // environment prefers.
    qunsetenv("SESSION_MANAGER");
    qputenv("QT_QPA_PLATFORM", "xcb");
    int argc = 1;
    char name[] = "tintaro";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(QString::fromUtf8(text));
    if (!clipboard->ownsClipboard() || !letGoOfStartingProgram())
        return 1;
    QObject::connect(clipboard, &QClipboard::changed, &app, [clipboard](QClipboard::Mode mode) {
        if (mode == QClipboard::Clipboard && !clipboard->ownsClipboard())
            QCoreApplication::exit(0);
    });
    return QGuiApplication::exec();
}

#else

// Without libxcb there is no X11 clipboard to keep.
void ClipboardKeeper::handOverAtExit() {}

int ClipboardKeeper::runKeeper()
{
    return 2;
}

#endif

} // namespace tintaro
