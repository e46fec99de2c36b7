#include "PortalScreenGrabber.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
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
    QVariantMap results;
    QStringList closed;
    int calls = 0;

    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& bus) override
    {
        if (message.member() == "Close")
            closed << message.path();
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
    void answers_data()
    {
        QTest::addColumn<bool>("running");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("file"); // an image of this size, or these bytes
        QTest::addColumn<QString>("told"); // the start of the message; empty: the image
        const QSize desktop = size();
        const QString size = QString("%1x%2").arg(desktop.width()).arg(desktop.height());
        QTest::newRow("no portal") << false << 0 << ""
                                   << "Picking on Wayland needs the desktop "
                                      "portal, and none is running. Install";
        QTest::newRow("refused") << true << 1 << ""
                                 << "The screenshot that picking needs was refused";
        QTest::newRow("failed") << true << 2 << ""
                                << "The desktop portal could not take";
        QTest::newRow("no uri") << true << 0 << ""
                                << "The desktop portal answered without";
        QTest::newRow("not an image") << true << 0 << "GIF89a"
                                      << "The screenshot from the desktop "
                                         "portal, file://";
        QTest::newRow("another size") << true << 0 << "640x481"
                                      << "The screenshot from the desktop "
                                         "portal is 640 x 481 pixels";
        QTest::newRow("the desktop") << true << 0 << size << "";
        QTest::newRow("the desktop at ratio 2")
            << true << 0 << QString("%1x%2").arg(desktop.width() * 2).arg(desktop.height() * 2)
            << "";
        QTest::newRow("no answer: Stop withdraws the request") << true << -1 << ""
                                                               << "<none>";
    }
    void answers()
    {
        QFETCH(bool, running);
        QFETCH(int, answer);
        QFETCH(QString, file);
        QFETCH(QString, told);
        QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "portal");
        FakePortal portal;
        portal.answer = answer;
        QTemporaryDir dir;
        const QString path = dir.filePath("Screenshot.png");
        if (!file.isEmpty())
            portal.results["uri"] = QUrl::fromLocalFile(path).toString();
        if (file.contains('x')) {
            QImage image(QSize(file.section('x', 0, 0).toInt(), file.section('x', 1).toInt()),
                         QImage::Format_RGB32);
            image.fill(Qt::red);
            QVERIFY(image.save(path));
        } else if (!file.isEmpty()) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(file.toLatin1()) > 0);
        }
        QVERIFY(!running || (bus.registerService("org.freedesktop.portal.Desktop") &&
                             bus.registerVirtualObject("/org/freedesktop/portal/desktop", &portal,
                                                       QDBusConnection::SubPath)));
        std::optional<GrabResult> result;
        {
            PortalScreenGrabber grabber;
            grabber.request([&](GrabResult r) { result = std::move(r); });
            if (answer < 0) {
                QTRY_VERIFY(portal.calls == 1);
                grabber.cancel();
                QTRY_VERIFY(!portal.closed.isEmpty());
            } else {
                QTRY_VERIFY(result);
            }
        }
        bus.unregisterService("org.freedesktop.portal.Desktop");
        QDBusConnection::disconnectFromBus("portal");
        QVERIFY(!QFile::exists(path)); // nothing left behind
        if (answer < 0) {
            QVERIFY(!result && portal.closed.size() == 1);
            return;
        }
        QVERIFY2(result->whyNot.startsWith(told) == result->tellUser &&
                     result->tellUser == !told.isEmpty(),
                 qPrintable(result->whyNot));
        QCOMPARE(bool(result->shot), told.isEmpty());
        const bool twice = result->shot && result->shot->image.width() > size().width();
        if (result->shot)
            QCOMPARE(result->shot->layout.imagePixel(QPointF(1.5, 1.5)),
                     twice ? QPoint(3, 3) : QPoint(2, 2));
    }
};

QTEST_MAIN(TestPortalScreenGrabber)
#include "tst_portalscreengrabber.moc"
