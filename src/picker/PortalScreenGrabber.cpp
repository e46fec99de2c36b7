#include "PortalScreenGrabber.h"

#include <QDBusArgument>
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

const QString kAllow = QStringLiteral(
    "Start again and answer Allow when the desktop asks, or allow this program to take "
    "screenshots in the desktop's privacy settings (the help page shows how).");
const QString kRefused =
    QStringLiteral("The desktop refused the screenshot that picking needs, and will refuse it "
                   "without asking from now on. Allow this program to take screenshots in the "
                   "desktop's privacy settings (the help page shows how), and start again.");

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
    connect(&m_timeout, &QTimer::timeout, this, [this] {
        const bool asked = m_timeout.interval() == kAskTimeoutMs;
        abandon();
        finish(failure(asked ? QStringLiteral("The desktop's question whether this program may "
                                              "take screenshots went unanswered. ") +
                                   kAllow
                             : noAnswer()));
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
    if (!QDBusConnection::sessionBus().isConnected()) {
        finish(failure(QStringLiteral("Picking needs the desktop portal, and there is no session "
                                      "bus to reach it. Start the program from your desktop "
                                      "session.")));
        return;
    }
    // A desktop that has not been allowed yet asks the user first.
    lookUpPermission([this](Permission permission) {
        ask(QStringLiteral("Screenshot"),
            {{QStringLiteral("interactive"), false}, {QStringLiteral("modal"), false}},
            permission == Permission::Yes ? kTimeoutMs : kAskTimeoutMs);
    });
}

void PortalScreenGrabber::requestColor(ColorDone done)
{
    cancel();
    m_colorDone = std::move(done);
    // The desktop's picker waits for the user: no time limit.
    ask(QStringLiteral("PickColor"), {}, 0);
}

void PortalScreenGrabber::lookUpPermission(std::function<void(Permission)> then)
{
    // The portal keeps the user's answer in its permission store.
    QDBusMessage lookup = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.impl.portal.PermissionStore"),
        QStringLiteral("/org/freedesktop/impl/portal/PermissionStore"),
        QStringLiteral("org.freedesktop.impl.portal.PermissionStore"), QStringLiteral("Lookup"));
    lookup << QStringLiteral("screenshot") << QStringLiteral("screenshot");
    m_call =
        new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(lookup, 2000), this);
    connect(m_call, &QDBusPendingCallWatcher::finished, this,
            [this, then = std::move(then)](QDBusPendingCallWatcher* call) {
                call->deleteLater();
                m_call = nullptr;
                Permission permission = Permission::Unset;
                const QDBusMessage reply = call->reply();
                if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
                    // a{sas}: the permissions by application; unsandboxed programs are "".
                    const QString said =
                        qdbus_cast<QMap<QString, QStringList>>(reply.arguments().constFirst())
                            .value(QString())
                            .value(0);
                    if (said == QLatin1String("yes"))
                        permission = Permission::Yes;
                    else if (said == QLatin1String("no"))
                        permission = Permission::No;
                }
                then(permission);
            });
}

void PortalScreenGrabber::ask(const QString& method, QVariantMap options, int limitMs)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    // Listen on the request's path before asking, so that a quick answer
    // cannot be missed: the path follows from our bus name and a token.
    const QString token = QStringLiteral("tintaro%1").arg(QRandomGenerator::global()->generate());
    QString sender = bus.baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    listen(kPath + QStringLiteral("/request/") + sender + QLatin1Char('/') + token);

    QDBusMessage call = QDBusMessage::createMethodCall(
        kService, kPath, QStringLiteral("org.freedesktop.portal.Screenshot"), method);
    options.insert(QStringLiteral("handle_token"), token);
    call << QString() << options;
    m_call = new QDBusPendingCallWatcher(bus.asyncCall(call, kTimeoutMs), this);
    connect(m_call, &QDBusPendingCallWatcher::finished, this,
            [this, limitMs](QDBusPendingCallWatcher* watcher) {
                watcher->deleteLater();
                m_call = nullptr;
                if (!m_done && !m_colorDone)
                    return; // answered before the call returned
                const QDBusPendingReply<QDBusObjectPath> reply = *watcher;
                if (reply.isError()) {
                    listen(QString());
                    const QString why = callFailure(reply.error().name(), reply.error().message());
                    if (ColorDone done = std::exchange(m_colorDone, nullptr))
                        done({std::nullopt, why});
                    finish(failure(why));
                    return;
                }
                // Portals older than the handle token answer on a path of their own.
                if (reply.value().path() != m_requestPath)
                    listen(reply.value().path());
                if (limitMs > 0)
                    m_timeout.start(limitMs);
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
    m_colorDone = nullptr;
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
    if (ColorDone done = std::exchange(m_colorDone, nullptr)) {
        done(colorFromAnswer(response, results));
        return;
    }
    if (response == 0) {
        finish(fromAnswer(response, results, DesktopLayout::current(), Permission::Yes));
        return;
    }
    // Whether the user said no shows in the store: a desktop that declines
    // on its own leaves it as it was.
    lookUpPermission([this, response, results](Permission permission) {
        finish(fromAnswer(response, results, DesktopLayout::current(), permission));
    });
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

ColorResult PortalScreenGrabber::colorFromAnswer(uint response, const QVariantMap& results)
{
    ColorResult result;
    if (response == 1)
        return result; // the user closed the picker
    double red = -1, green = -1, blue = -1;
    const QVariant color = results.value(QStringLiteral("color"));
    if (response == 0 && color.canConvert<QDBusArgument>()) {
        const QDBusArgument argument = color.value<QDBusArgument>();
        if (argument.currentSignature() == QLatin1String("(ddd)")) {
            argument.beginStructure();
            argument >> red >> green >> blue;
            argument.endStructure();
        }
    }
    if (red < 0 || green < 0 || blue < 0)
        result.whyNot = QStringLiteral("The desktop's colour picker gave no colour.");
    else
        result.color = colorFromUnit(red, green, blue);
    return result;
}

GrabResult PortalScreenGrabber::fromAnswer(uint response, const QVariantMap& results,
                                           const DesktopLayout& layout, Permission permission)
{
    if (response != 0 && permission == Permission::No)
        return failure(kRefused);
    if (response == 1) {
        // Declined without the user's word (a desktop whose portal takes
        // no screenshots unasked): its own picker may still give colours.
        GrabResult result;
        result.colorsOnly = true;
        result.whyNot =
            QStringLiteral("No frozen image here: pick each colour with the desktop's own picker.");
        return result;
    }
    if (response != 0)
        return failure(QStringLiteral("The desktop gave no screenshot: its question went "
                                      "unanswered, or it failed. ") +
                       kAllow);
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
