#include "PortalScreenGrabber.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVirtualObject>
#include <QGuiApplication>
#include <QtTest>

using namespace tintaro;

// The desktop portal as the test wants it to answer, on a connection of its
// own: a reply to Screenshot or PickColor and then, at the next turn, the
// Response. Its permission store says `stored`, and `storedAfter` once it
// has answered, as when the user was asked.
class FakePortal : public QDBusVirtualObject
{
public:
    int answer = -1; // the response code; -1: none
    QString stored = "ask", storedAfter;
    QVariantMap results;
    QStringList closed, methods;

    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& bus) override
    {
        if (message.member() == "Close")
            closed << message.path();
        if (message.member() == "Lookup")
            return bus.send(message.createReply(
                {QVariant::fromValue(QMap<QString, QStringList>{{"", {stored}}}),
                 QVariant::fromValue(QDBusVariant(0))}));
        if (message.member() != "Screenshot" && message.member() != "PickColor")
            return bus.send(message.createReply());
        // A screenshot with a dialog is not what picking asks for.
        const QVariantMap options = qdbus_cast<QVariantMap>(message.arguments()[1]);
        if (options.value("interactive", false).toBool())
            return bus.send(message.createErrorReply(QDBusError::InvalidArgs, "interactive"));
        methods << message.member();
        QString sender = message.service().mid(1).replace('.', '_');
        const QString path = "/org/freedesktop/portal/desktop/request/" + sender + '/' +
                             options["handle_token"].toString();
        bus.send(message.createReply(QVariant::fromValue(QDBusObjectPath(path))));
        if (answer >= 0)
            QTimer::singleShot(0, [=] {
                if (!storedAfter.isEmpty())
                    stored = storedAfter;
                QDBusMessage response =
                    QDBusMessage::createSignal(path, "org.freedesktop.portal.Request", "Response");
                response << uint(answer) << results;
                QDBusConnection(bus).send(response);
            });
        return true;
    }

    // Serves on a connection of its own until the scope ends.
    struct Serving
    {
        explicit Serving(FakePortal* portal)
        {
            qDBusRegisterMetaType<QMap<QString, QStringList>>();
            ok = bus.registerService("org.freedesktop.portal.Desktop") &&
                 bus.registerService("org.freedesktop.impl.portal.PermissionStore") &&
                 bus.registerVirtualObject("/org/freedesktop/portal/desktop", portal,
                                           QDBusConnection::SubPath) &&
                 bus.registerVirtualObject("/org/freedesktop/impl/portal/PermissionStore", portal);
        }
        ~Serving()
        {
            bus.unregisterService("org.freedesktop.portal.Desktop");
            bus.unregisterService("org.freedesktop.impl.portal.PermissionStore");
            QDBusConnection::disconnectFromBus("portal");
        }
        QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "portal");
        bool ok = false;
    };
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

    // An answer, or none, to the Screenshot call; the permission store as
    // the portal leaves it decides whether the user refused.
    void answers_data()
    {
        QTest::addColumn<bool>("running");
        QTest::addColumn<QString>("stored"); // before the answer, and after it when different
        QTest::addColumn<int>("answer");     // -1: none
        QTest::addColumn<QSize>("image");    // of this size, or none: a file of bytes when named
        QTest::addColumn<QString>("told");   // part of the message; empty: the image
        const QSize none, screen = size();
        QTest::newRow("no portal") << false << "ask" << 0 << none << "none is running. Install";
        QTest::newRow("refused when asked")
            << true << "ask no" << 2 << none << "will refuse it without asking";
        QTest::newRow("refused before")
            << true << "no" << 1 << none << "will refuse it without asking";
        QTest::newRow("question unanswered") << true << "ask" << 2 << none << "went unanswered";
        QTest::newRow("declined unasked") << true << "yes" << 1 << none << "<colours>";
        QTest::newRow("no uri") << true << "ask yes" << 0 << none
                                << "answered without a screenshot";
        QTest::newRow("not an image")
            << true << "ask" << 0 << QSize(0, 1) << "Screenshot.png, cannot";
        QTest::newRow("another size")
            << true << "ask" << 0 << QSize(640, 481) << "is 640 x 481 pixels";
        QTest::newRow("the desktop") << true << "ask" << 0 << screen << "";
        QTest::newRow("the desktop at ratio 2") << true << "yes" << 0 << screen * 2 << "";
        QTest::newRow("asked, no answer: Stop withdraws it")
            << true << "ask" << -1 << none << "<none>";
        QTest::newRow("allowed, no answer") << true << "yes" << -1 << none << "within 15 seconds";
    }
    void answers()
    {
        QFETCH(bool, running);
        QFETCH(QString, stored);
        QFETCH(int, answer);
        QFETCH(QSize, image);
        QFETCH(QString, told);
        FakePortal portal;
        portal.answer = answer;
        portal.stored = stored.section(' ', 0, 0);
        portal.storedAfter = stored.section(' ', 1, 1);
        QTemporaryDir dir;
        const QString path = dir.filePath("Screenshot.png");
        if (image.isValid()) {
            portal.results["uri"] = QUrl::fromLocalFile(path).toString();
            QImage picture(image, QImage::Format_RGB32);
            picture.fill(Qt::red);
            QVERIFY(image.isEmpty() ? QFile(path).open(QIODevice::WriteOnly) : picture.save(path));
        }
        std::optional<GrabResult> result;
        {
            std::optional<FakePortal::Serving> serving;
            if (running)
                QVERIFY(serving.emplace(&portal).ok);
            PortalScreenGrabber grabber;
            grabber.request([&](GrabResult r) { result = std::move(r); });
            if (told == "<none>") {
                QTRY_VERIFY(portal.methods.size() == 1);
                grabber.cancel();
                QTRY_VERIFY(!portal.closed.isEmpty());
            } else {
                QTRY_VERIFY_WITH_TIMEOUT(result, PortalScreenGrabber::kTimeoutMs + 5000);
            }
        }
        QVERIFY(!QFile::exists(path)); // nothing left behind
        if (told == "<none>") {
            QVERIFY(!result && portal.closed.size() == 1);
            return;
        }
        if (told == "<colours>") {
            QVERIFY2(result->colorsOnly && !result->tellUser && !result->shot &&
                         result->whyNot.contains("No frozen image"),
                     qPrintable(result->whyNot));
            return;
        }
        QVERIFY2(result->whyNot.contains(told) && result->tellUser == !told.isEmpty() &&
                     bool(result->shot) == told.isEmpty() && !result->colorsOnly,
                 qPrintable(result->whyNot));
        if (result->shot) // the pointer's pixel at the image's own ratio
            QCOMPARE(result->shot->layout.imagePixel(QPointF(1.5, 1.5)),
                     image.width() > size().width() ? QPoint(3, 3) : QPoint(2, 2));
    }

    // The desktop's own picker: its colour in 0..1 to the nearest level; a
    // closed picker ends quietly, anything else with a reason.
    void colors_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("components"); // a (ddd) or, with "i", an (iii) structure
        QTest::addColumn<int>("color");          // -1: none; -2: none, with a reason
        QTest::newRow("a colour") << 0 << "0.2 0.4 0.998" << int(makeColor(51, 102, 254));
        QTest::newRow("picker closed") << 1 << "" << -1;
        QTest::newRow("failed") << 2 << "0.2 0.4 1" << -2;
        QTest::newRow("no colour") << 0 << "" << -2;
        QTest::newRow("whole numbers") << 0 << "i 51 102 255" << -2;
    }
    void colors()
    {
        QFETCH(int, answer);
        QFETCH(QString, components);
        QFETCH(int, color);
        FakePortal portal;
        portal.answer = answer;
        if (!components.isEmpty()) {
            QDBusArgument structure;
            structure.beginStructure();
            for (const QString& c : components.split(' '))
                if (c != "i")
                    components.startsWith('i') ? structure << c.toInt() : structure << c.toDouble();
            structure.endStructure();
            portal.results["color"] = QVariant::fromValue(structure);
        }
        FakePortal::Serving serving(&portal);
        QVERIFY(serving.ok);
        PortalScreenGrabber grabber;
        std::optional<ColorResult> result;
        grabber.requestColor([&](ColorResult r) { result = std::move(r); });
        QTRY_VERIFY(result);
        QCOMPARE(portal.methods, QStringList{"PickColor"});
        QCOMPARE(result->color.value_or(result->whyNot.isEmpty() ? -1 : -2), color);
    }
};

QTEST_MAIN(TestPortalScreenGrabber)
#include "tst_portalscreengrabber.moc"
