#include "PortalScreenGrabber.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVirtualObject>
#include <QGuiApplication>
#include <QtTest>

using namespace tintaro;

// The desktop portal as the test wants it to answer, on a connection of its
// own: a reply to Screenshot and then, at the next turn, the Response.
class FakePortal : public QDBusVirtualObject
{
public:
    int answer = -1; // the response code; -1: none
    bool allowed = false;
    QVariantMap results;
    QStringList closed;
    int calls = 0;

    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& bus) override
    {
        if (message.member() == "Close")
            closed << message.path();
        if (message.member() == "Lookup") // the permission store: allowed when told to be
            return bus.send(message.createReply(
                {QVariant::fromValue(QMap<QString, QStringList>{{"", {allowed ? "yes" : "ask"}}}),
                 QVariant::fromValue(QDBusVariant(0))}));
        if (message.member() != "Screenshot")
            return bus.send(message.createReply());
        ++calls;
        QString sender = message.service().mid(1).replace('.', '_');
        const QString path =
            "/org/freedesktop/portal/desktop/request/" + sender + '/' +
            qdbus_cast<QVariantMap>(message.arguments()[1])["handle_token"].toString();
        bus.send(message.createReply(QVariant::fromValue(QDBusObjectPath(path))));
        if (answer >= 0)
            QTimer::singleShot(0, [=] {
                QDBusMessage response =
                    QDBusMessage::createSignal(path, "org.freedesktop.portal.Request", "Response");
                response << uint(answer) << results;
                QDBusConnection(bus).send(response);
            });
        return true;
    }
};

class TestPortalScreenGrabber : public QObject
{
    Q_OBJECT

    static QSize size() { return QGuiApplication::primaryScreen()->size(); }

private Q_SLOTS:
    // A failed call names what is missing or refused.
    void callFailures_data()
    {
        QTest::addColumn<QString>("error"); // of org.freedesktop.DBus.Error
        QTest::addColumn<QString>("told");
        for (const char* name : {"ServiceUnknown", "NameHasNoOwner"})
            QTest::newRow(name) << name << "none is running. Install";
        for (const char* name : {"UnknownMethod", "UnknownInterface", "UnknownObject"})
            QTest::newRow(name) << name << "offers no screenshots. Install";
        for (const char* name : {"NoReply", "Timeout"})
            QTest::newRow(name) << name << "within 15 seconds";
        QTest::newRow("AccessDenied") << "AccessDenied"
                                      << "to take screenshots (why). Allow it";
        QTest::newRow("Failed") << "Failed"
                                << "could not take a screenshot: why";
    }
    void callFailures()
    {
        QFETCH(QString, error);
        QFETCH(QString, told);
        const QString said =
            PortalScreenGrabber::callFailure("org.freedesktop.DBus.Error." + error, "why");
        QVERIFY2(said.contains(told), qPrintable(said));
    }

    void answers_data()
    {
        QTest::addColumn<bool>("running");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QSize>("image");  // of this size, or none: a file of bytes when named
        QTest::addColumn<QString>("told"); // part of the message; empty: the image
        const QSize none, screen = size();
        QTest::newRow("no portal") << false << 0 << none << "none is running. Install";
        QTest::newRow("refused") << true << 1 << none << "picking needs was refused";
        QTest::newRow("failed") << true << 2 << none << "could not take the screenshot";
        QTest::newRow("no uri") << true << 0 << none << "answered without a screenshot";
        QTest::newRow("not an image") << true << 0 << QSize(0, 1) << "Screenshot.png, cannot";
        QTest::newRow("another size") << true << 0 << QSize(640, 481) << "is 640 x 481 pixels";
        QTest::newRow("the desktop") << true << 0 << screen << "";
        QTest::newRow("the desktop at ratio 2") << true << 0 << screen * 2 << "";
        QTest::newRow("no answer: Stop withdraws it") << true << -1 << none << "<none>";
        QTest::newRow("allowed, no answer") << true << -2 << none << "within 15 seconds";
    }
    void answers()
    {
        QFETCH(bool, running);
        QFETCH(int, answer);
        QFETCH(QSize, image);
        QFETCH(QString, told);
        QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "portal");
        FakePortal portal;
        portal.answer = answer;
        portal.allowed = answer == -2;
        QTemporaryDir dir;
        const QString path = dir.filePath("Screenshot.png");
        if (image.isValid()) {
            portal.results["uri"] = QUrl::fromLocalFile(path).toString();
            QImage picture(image, QImage::Format_RGB32);
            picture.fill(Qt::red);
            QVERIFY(image.isEmpty() ? QFile(path).open(QIODevice::WriteOnly) : picture.save(path));
        }
        qDBusRegisterMetaType<QMap<QString, QStringList>>();
        const QString store = "/org/freedesktop/impl/portal/PermissionStore";
        QVERIFY(!running || (bus.registerService("org.freedesktop.portal.Desktop") &&
                             bus.registerService("org.freedesktop.impl.portal.PermissionStore") &&
                             bus.registerVirtualObject("/org/freedesktop/portal/desktop", &portal,
                                                       QDBusConnection::SubPath) &&
                             bus.registerVirtualObject(store, &portal)));
        std::optional<GrabResult> result;
        {
            PortalScreenGrabber grabber;
            grabber.request([&](GrabResult r) { result = std::move(r); });
            if (answer == -1) {
                QTRY_VERIFY(portal.calls == 1);
                grabber.cancel();
                QTRY_VERIFY(!portal.closed.isEmpty());
            } else {
                QTRY_VERIFY_WITH_TIMEOUT(result, PortalScreenGrabber::kTimeoutMs + 5000);
            }
        }
        bus.unregisterService("org.freedesktop.portal.Desktop");
        bus.unregisterService("org.freedesktop.impl.portal.PermissionStore");
        QDBusConnection::disconnectFromBus("portal");
        QVERIFY(!QFile::exists(path)); // nothing left behind
        if (answer == -1) {
            QVERIFY(!result && portal.closed.size() == 1);
            return;
        }
        QVERIFY2(result->whyNot.contains(told) && result->tellUser == !told.isEmpty() &&
                     bool(result->shot) == told.isEmpty(),
                 qPrintable(result->whyNot));
        if (result->shot) // the pointer's pixel at the image's own ratio
            QCOMPARE(result->shot->layout.imagePixel(QPointF(1.5, 1.5)),
                     image.width() > size().width() ? QPoint(3, 3) : QPoint(2, 2));
    }
};

QTEST_MAIN(TestPortalScreenGrabber)
#include "tst_portalscreengrabber.moc"
