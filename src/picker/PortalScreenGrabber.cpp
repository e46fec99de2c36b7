#include "PortalScreenGrabber.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QFile>
#include <QRandomGenerator>
#include <QUrl>

namespace tintaro {
namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kRequest = QStringLiteral("org.freedesktop.portal.Request");
const QString kResponse = QStringLiteral("Response");
const QString kInstall =
    QStringLiteral("Install xdg-desktop-portal and the back end for your desktop "
                   "(xdg-desktop-portal-gnome, xdg-desktop-portal-kde, or xdg-desktop-portal-wlr "
                   "with xdg-desktop-portal-gtk), then log in again.");

QString noAnswer()
{
    return QStringLiteral(
        "The desktop portal did not answer the request for a screenshot within 15 "
        "seconds.");
}

GrabResult failure(const QString& why)
{
    GrabResult result;
    result.whyNot = why;
    result.tellUser = true;
    return result;
}

} // namespace

PortalScreenGrabber::PortalScreenGrabber()
{
    m_timeout.setSingleShot(true);
    m_timeout.setInterval(kTimeoutMs);
    connect(&m_timeout, &QTimer::timeout, this, [this] {
        abandon();
        finish(failure(noAnswer()));
    });
}

PortalScreenGrabber::~PortalScreenGrabber()
{
    cancel();
}

void PortalScreenGrabber::request(Done done)
{
    cancel();
    m_done = std::move(done);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        finish(failure(QStringLiteral("Picking needs the desktop portal, and there is no session "
                                      "bus to reach it. Start the program from your desktop "
                                      "session.")));
        return;
    }
    // A desktop that has not been allowed yet asks the user, who may take
    // as long as they like: then no time limit applies. The answer is kept
    // in the portal's permission store.
    QDBusMessage lookup = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.impl.portal.PermissionStore"),
        QStringLiteral("/org/freedesktop/impl/portal/PermissionStore"),
        QStringLiteral("org.freedesktop.impl.portal.PermissionStore"), QStringLiteral("Lookup"));
    lookup << QStringLiteral("screenshot") << QStringLiteral("screenshot");
    m_call = new QDBusPendingCallWatcher(bus.asyncCall(lookup, 2000), this);
    connect(m_call, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* call) {
                call->deleteLater();
                m_call = nullptr;
                bool allowed = false;
                const QDBusMessage reply = call->reply();
                if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
                    // a{sas}: the permissions by application; unsandboxed programs are "".
                    const QMap<QString, QStringList> byApp =
                        qdbus_cast<QMap<QString, QStringList>>(reply.arguments().constFirst());
                    allowed = byApp.value(QString()).value(0) == QLatin1String("yes");
                }
                ask(!allowed);
            });
}

void PortalScreenGrabber::ask(bool userMayBeAsked)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    // Listen on the request's path before asking, so that a quick answer
    // cannot be missed: the path follows from our bus name and a token.
    const QString token = QStringLiteral("tintaro%1").arg(QRandomGenerator::global()->generate());
    QString sender = bus.baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    listen(kPath + QStringLiteral("/request/") + sender + QLatin1Char('/') + token);

    QDBusMessage call = QDBusMessage::createMethodCall(
        kService, kPath, QStringLiteral("org.freedesktop.portal.Screenshot"),
        QStringLiteral("Screenshot"));
    call << QString()
         << QVariantMap{{QStringLiteral("handle_token"), token},
                        {QStringLiteral("interactive"), false},
                        {QStringLiteral("modal"), false}};
    m_call = new QDBusPendingCallWatcher(bus.asyncCall(call, kTimeoutMs), this);
    connect(m_call, &QDBusPendingCallWatcher::finished, this,
            [this, userMayBeAsked](QDBusPendingCallWatcher* watcher) {
                watcher->deleteLater();
                m_call = nullptr;
                if (!m_done)
                    return; // answered before the call returned
                const QDBusPendingReply<QDBusObjectPath> reply = *watcher;
                if (reply.isError()) {
                    listen(QString());
                    finish(failure(callFailure(reply.error().name(), reply.error().message())));
                    return;
                }
                // Portals older than the handle token answer on a path of their own.
                if (reply.value().path() != m_requestPath)
                    listen(reply.value().path());
                if (!userMayBeAsked)
                    m_timeout.start();
            });
}

void PortalScreenGrabber::listen(const QString& path)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!m_requestPath.isEmpty())
        bus.disconnect(kService, m_requestPath, kRequest, kResponse, this,
                       SLOT(onResponse(uint, QVariantMap)));
    m_requestPath = path;
    if (!path.isEmpty())
        bus.connect(kService, path, kRequest, kResponse, this, SLOT(onResponse(uint, QVariantMap)));
}

void PortalScreenGrabber::cancel()
{
    abandon();
    m_done = nullptr;
}

void PortalScreenGrabber::abandon()
{
    m_timeout.stop();
    if (m_call) {
        m_call->disconnect(this);
        m_call->deleteLater();
        m_call = nullptr;
    }
    if (!m_requestPath.isEmpty()) {
        // Closes a prompt the desktop may still show; no answer is awaited.
        QDBusConnection::sessionBus().asyncCall(QDBusMessage::createMethodCall(
            kService, m_requestPath, kRequest, QStringLiteral("Close")));
        listen(QString());
    }
}

void PortalScreenGrabber::onResponse(uint response, const QVariantMap& results)
{
    m_timeout.stop();
    listen(QString());
    finish(fromAnswer(response, results, DesktopLayout::current()));
}

void PortalScreenGrabber::finish(GrabResult result)
{
    if (Done done = std::exchange(m_done, nullptr))
        done(std::move(result));
}

QString PortalScreenGrabber::callFailure(const QString& name, const QString& message)
{
    if (name == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown") ||
        name == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner"))
        return QStringLiteral("Picking on Wayland needs the desktop portal, and none is "
                              "running. ") +
               kInstall;
    if (name == QLatin1String("org.freedesktop.DBus.Error.UnknownMethod") ||
        name == QLatin1String("org.freedesktop.DBus.Error.UnknownInterface") ||
        name == QLatin1String("org.freedesktop.DBus.Error.UnknownObject"))
        return QStringLiteral("The desktop portal offers no screenshots. ") + kInstall;
    if (name == QLatin1String("org.freedesktop.DBus.Error.NoReply") ||
        name == QLatin1String("org.freedesktop.DBus.Error.Timeout"))
        return noAnswer();
    if (name == QLatin1String("org.freedesktop.DBus.Error.AccessDenied") ||
        name == QLatin1String("org.freedesktop.portal.Error.NotAllowed"))
        return QStringLiteral("The desktop does not allow this program to take screenshots (%1). "
                              "Allow it in the desktop's privacy settings and start again.")
            .arg(message);
    return QStringLiteral("The desktop portal could not take a screenshot: %1").arg(message);
}

GrabResult PortalScreenGrabber::fromAnswer(uint response, const QVariantMap& results,
                                           const DesktopLayout& layout)
{
    if (response == 1)
        return failure(QStringLiteral("The screenshot that picking needs was refused. Allow "
                                      "this program to take screenshots in the desktop's privacy "
                                      "settings, or answer Allow when asked, and start again."));
    if (response != 0)
        return failure(QStringLiteral("The desktop portal could not take the screenshot that "
                                      "picking needs."));
    const QString uri = results.value(QStringLiteral("uri")).toString();
    if (uri.isEmpty())
        return failure(QStringLiteral("The desktop portal answered without a screenshot."));
    const QString path = QUrl(uri).toLocalFile();
    QImage image(path);
    // Some portals save into the user's pictures: picking leaves nothing behind.
    if (!path.isEmpty())
        QFile::remove(path);
    if (image.isNull())
        return failure(QStringLiteral("The screenshot from the desktop portal, %1, cannot be "
                                      "read.")
                           .arg(uri));
    std::optional<DesktopLayout> fitted = layout.fittedTo(image.size());
    if (!fitted) {
        const QRect bounds = layout.logicalBounds();
        return failure(QStringLiteral("The screenshot from the desktop portal is %1 x %2 pixels, "
                                      "which does not match the screens (%3 x %4 at one scale). "
                                      "Nothing is picked from it.")
                           .arg(image.width())
                           .arg(image.height())
                           .arg(bounds.width())
                           .arg(bounds.height()));
    }
    image = std::move(image).convertToFormat(QImage::Format_RGB32);
    image.setDevicePixelRatio(1.0);
    GrabResult result;
    result.shot = DesktopShot{std::move(image), std::move(*fitted)};
    return result;
}

} // namespace tintaro
