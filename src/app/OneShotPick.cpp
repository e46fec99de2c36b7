#include "OneShotPick.h"

#include "CssNames.h"
#include "PickSession.h"
#include "PickWindow.h"
#include "ScreenGrabber.h"

#include <QClipboard>
#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QWindow>

namespace tintaro {
namespace {

// With TINTARO_TRACE_PAINT set, a line on the error output says when the
// frozen image is first painted: the benchmark times the process up to it.
class PaintTrace : public QObject
{
public:
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Expose || m_done ||
            watched->objectName() != QLatin1String("frmGetColor") ||
            !static_cast<QWindow*>(watched)->isExposed())
            return false;
        m_done = true;
        watched->event(event); // painted and flushed before the time is taken
        std::fprintf(stderr, "tintaro: frozen image painted\n");
        std::fflush(stderr);
        return true;
    }

private:
    bool m_done = false;
};

QString textOf(ColorValue c, std::optional<CssForm> form)
{
    if (!form)
        return ColorToHtml(c);
    if (*form == CssForm::Name)
        return nearestNameText(c);
    // A colour without the form asked for (#RGB) is given as #RRGGBB.
    return cssText(c, *form).value_or(ColorToHtml(c));
}

} // namespace

OneShotPick::OneShotPick(const Request& request, std::unique_ptr<ScreenGrabber> grabber,
                         std::FILE* out, std::FILE* err)
    : m_request(request), m_grabber(std::move(grabber)), m_out(out), m_err(err)
{
}

OneShotPick::~OneShotPick() = default;

void OneShotPick::start()
{
    m_session = std::make_unique<PickSession>();
    PickSession* session = m_session.get();
    connect(session, &PickSession::pointerMoved, this, [this](ColorValue c) { m_color = c; });
    connect(session, &PickSession::picked, this, &OneShotPick::pick);
    connect(session, &PickSession::stopRequested, this, [this] { finish(2); });
    connect(session, &PickSession::failed, this, [this](const QString& why) {
        std::fprintf(m_err, "tintaro: %s\n", qPrintable(why));
        finish(2);
    });
    connect(session, &PickSession::shown, this, [this] {
        // Picking over a plain colour would print a colour from nowhere.
        const PickWindow* w = m_session->window();
        if (w && !w->hasImage()) {
            std::fprintf(m_err, "tintaro: --pick could not take a picture of the screen\n");
            finish(2);
        }
    });
    PickSession::LoadSteps steps;
    steps.grabber = m_grabber.get();
    steps.delaySeconds = 0; // the caller's own window is no concern here
    steps.ownerless = true;
    session->Form_Load(steps);
}

void OneShotPick::pick()
{
    if (m_done)
        return;
    std::optional<ColorValue> color = m_color;
    if (!color) {
        // Picked before any movement (Return at once): the pixel under the pointer.
        if (PickWindow* w = m_session->window())
            if (const std::optional<QPoint> pixel = w->pixelUnder(QCursor::pos()))
                if (const ColorValue c = w->GetPixel(*pixel); c >= 0)
                    color = c;
    }
    if (!color) {
        std::fprintf(m_err, "tintaro: the pointer is over no pixel of the picture\n");
        finish(2);
        return;
    }
    const QString text = textOf(*color, m_request.form);
    std::fprintf(m_out, "%s\n", qPrintable(text));
    std::fflush(m_out);
    if (m_request.copy)
        QGuiApplication::clipboard()->setText(text);
    finish(0);
}

void OneShotPick::finish(int status)
{
    if (std::exchange(m_done, true))
        return;
    m_session->end();
    Q_EMIT finished(status);
}

int OneShotPick::run(const Request& request)
{
    PaintTrace trace;
    if (qEnvironmentVariableIsSet("TINTARO_TRACE_PAINT"))
        qApp->installEventFilter(&trace);
    OneShotPick oneShot(request, ScreenGrabber::create(), stdout, stderr);
    int status = 2;
    bool done = false;
    connect(&oneShot, &OneShotPick::finished, qApp, [&](int s) {
        status = s;
        done = true;
        QCoreApplication::exit(s);
    });
    oneShot.start();
    if (!done) // it may end before the loop runs: no picture at all
        QCoreApplication::exec();
    return status;
}

} // namespace tintaro
