// Desktop notifications against a notification service of our own on a private session bus.
#include "support/TestWindow.h"
#include "support/Wait.h"
#include "window/DesktopNotifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

const QString Path = QStringLiteral("/org/freedesktop/Notifications");
const QString Interface = QStringLiteral("org.freedesktop.Notifications");

// Stands in for the desktop's notification daemon and records what it is asked to show.
class NotificationService : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QStringList capabilities {QStringLiteral("body"), QStringLiteral("actions")};
    QStringList bodies;
    QStringList actions;
    QString appName;

public slots:
    QStringList GetCapabilities() { return capabilities; }
    uint Notify(const QString& app, uint, const QString&, const QString&, const QString& body,
                const QStringList& actionList, const QVariantMap&, int)
    {
        appName = app;
        bodies << body;
        actions = actionList;
        return static_cast<uint>(bodies.size()) + 40;
    }
};

// A session bus of the test's own, ended with it.
struct PrivateBus
{
    PrivateBus()
    {
        daemon.start(QStringLiteral("dbus-daemon"),
                     {"--session", "--nofork", "--print-address=1", "--address=unix:tmpdir=/tmp"});
        if (daemon.waitForReadyRead(5000))
            address = QString::fromUtf8(daemon.readLine()).trimmed();
    }
    ~PrivateBus()
    {
        QDBusConnection::disconnectFromBus(QStringLiteral("service"));
        QDBusConnection::disconnectFromBus(QStringLiteral("client"));
        daemon.kill();
        daemon.waitForFinished();
    }
    QDBusConnection connect(const QString& name) { return QDBusConnection::connectToBus(address, name); }
    QProcess daemon;
    QString address;
};

} // namespace

TEST(Notifier, TheServiceShowsTheTextAndItsActionOpensTheFolder)
{
    TestApp();
    PrivateBus bus;
    ASSERT_FALSE(bus.address.isEmpty()) << "dbus-daemon did not start";
    QDBusConnection serviceBus = bus.connect("service");
    NotificationService service;
    ASSERT_TRUE(serviceBus.registerObject(Path, &service, QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(serviceBus.registerService(Interface));

    QStringList opened;
    DesktopNotifier notifier(bus.connect("client"), [&opened](const QString& folder) { opened << folder; });
    // No window of ours is active here, so the notification is wanted.
    notifier.notify("Conversion finished: 2 converted, 1 failed.", "Open folder", "/videos/out/");
    ASSERT_TRUE(WaitUntil([&] { return !service.bodies.isEmpty(); }, 5000, "the notification"));
    EXPECT_EQ(service.bodies, QStringList {"Conversion finished: 2 converted, 1 failed."});
    EXPECT_EQ(service.actions, QStringList({"open-folder", "Open folder"}));
    EXPECT_EQ(service.appName, "Reelpocket");

    // The user picks the action on the notification (its id is the one Notify returned).
    QTest::qWait(100);
    QDBusMessage invoked = QDBusMessage::createSignal(Path, Interface, "ActionInvoked");
    invoked << uint(41) << QStringLiteral("open-folder");
    ASSERT_TRUE(serviceBus.send(invoked));
    ASSERT_TRUE(WaitUntil([&] { return !opened.isEmpty(); }, 5000, "the folder to open"));
    EXPECT_EQ(opened, QStringList {"/videos/out/"});

    // A service without actions gets the text alone.
    service.capabilities = {QStringLiteral("body")};
    notifier.send("Conversion finished: 1 converted, 0 failed.", "Open folder", "/videos/out/");
    ASSERT_TRUE(WaitUntil([&] { return service.bodies.size() == 2; }, 5000, "the second notification"));
    EXPECT_TRUE(service.actions.isEmpty());
}

TEST(Notifier, NoServiceOrNoBusIsNoFailure)
{
    TestApp();
    PrivateBus bus;
    ASSERT_FALSE(bus.address.isEmpty()) << "dbus-daemon did not start";
    QStringList opened;
    DesktopNotifier withoutService(bus.connect("client"), [&opened](const QString& folder) { opened << folder; });
    withoutService.send("text", "Open folder", "/videos/");
    DesktopNotifier withoutBus(QDBusConnection(QStringLiteral("no such bus")), [](const QString&) {});
    withoutBus.send("text", "Open folder", "/videos/");
    QTest::qWait(100);
    EXPECT_TRUE(opened.isEmpty());
}

#include "test_notifier.moc"
