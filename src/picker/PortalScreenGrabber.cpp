#include "PortalScreenGrabber.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QEventLoop>
#include <QFile>
#include <QRandomGenerator>
#include <QTimer>
#include <QUrl>

namespace tintaro {
namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kRequest = QStringLiteral("org.freedesktop.portal.Request");
constexpr int kTimeoutMs = 15000;

} // namespace

std::optional<DesktopShot> PortalScreenGrabber::grab(QString* whyNot)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        *whyNot = QStringLiteral("no session bus to reach the desktop portal");
        return std::nullopt;
    }
    // Listen on the request's path before asking, so that a quick answer
    // cannot be missed: the path follows from our bus name and a token.
    const QString token = QStringLiteral("tintaro%1").arg(QRandomGenerator::global()->generate());
    QString sender = bus.baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    const QString requestPath = kPath + QStringLiteral("/request/") + sender + QLatin1Char('/') + token;
    m_answered = false;
    bus.connect(kService, requestPath, kRequest, QStringLiteral("Response"), this,
                SLOT(onResponse(uint, QVariantMap)));

    QDBusMessage call = QDBusMessage::createMethodCall(
        kService, kPath, QStringLiteral("org.freedesktop.portal.Screenshot"),
        QStringLiteral("Screenshot"));
    call << QString() << QVariantMap{{QStringLiteral("handle_token"), token},
                                     {QStringLiteral("interactive"), false},
                                     {QStringLiteral("modal"), false}};
    const QDBusReply<QDBusObjectPath> reply = bus.call(call);
    if (!reply.isValid()) {
        bus.disconnect(kService, requestPath, kRequest, QStringLiteral("Response"), this,
                       SLOT(onResponse(uint, QVariantMap)));
        *whyNot = QStringLiteral("the desktop portal refused the screenshot: ") +
                  reply.error().message();
        return std::nullopt;
    }
    if (!m_answered) {
        // The timer wakes the loop when the portal stays silent.
        QEventLoop wait;
        QTimer timeout;
        timeout.setSingleShot(true);
        timeout.start(kTimeoutMs);
        while (!m_answered && timeout.isActive())
            wait.processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::ExcludeUserInputEvents);
    }
    bus.disconnect(kService, requestPath, kRequest, QStringLiteral("Response"), this,
                   SLOT(onResponse(uint, QVariantMap)));
    if (!m_answered) {
        *whyNot = QStringLiteral("the desktop portal did not answer in time");
        return std::nullopt;
    }
    if (m_response != 0) {
        *whyNot = QStringLiteral("the desktop portal declined the screenshot");
        return std::nullopt;
    }
    const QUrl uri(m_results.value(QStringLiteral("uri")).toString());
    QImage image(uri.toLocalFile());
    // The file is ours alone, made for this request: do not leave it behind.
    QFile::remove(uri.toLocalFile());
    if (image.isNull()) {
        *whyNot = QStringLiteral("the desktop portal's image cannot be read");
        return std::nullopt;
    }
    image = std::move(image).convertToFormat(QImage::Format_RGB32);
    image.setDevicePixelRatio(1.0);
    return DesktopShot{std::move(image), DesktopLayout::current()};
}

void PortalScreenGrabber::onResponse(uint response, const QVariantMap& results)
{
    m_response = response;
    m_results = results;
    m_answered = true;
}

} // namespace tintaro
