#include "SystemPower.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDBusUnixFileDescriptor>

namespace {
const QString Login1 = QStringLiteral("org.freedesktop.login1");
const QString Login1Path = QStringLiteral("/org/freedesktop/login1");
const QString Manager = QStringLiteral("org.freedesktop.login1.Manager");
const QString Portal = QStringLiteral("org.freedesktop.portal.Desktop");
// A stalled service must not hold a batch or its end for long.
constexpr int CallTimeoutMs = 10000;

class DescriptorLock : public SleepLock
{
public:
    explicit DescriptorLock(QDBusUnixFileDescriptor fd)
        : fd_(std::move(fd))
    {
    }
    // The last copy of the descriptor closes it.

private:
    QDBusUnixFileDescriptor fd_;
};

// The portal keeps its lock until the request is closed, or the program leaves the bus.
class PortalRequestLock : public SleepLock
{
public:
    PortalRequestLock(QDBusConnection bus, QDBusObjectPath handle)
        : bus_(std::move(bus))
        , handle_(std::move(handle))
    {
    }
    ~PortalRequestLock() override
    {
        bus_.call(QDBusMessage::createMethodCall(Portal, handle_.path(),
                                                 QStringLiteral("org.freedesktop.portal.Request"),
                                                 QStringLiteral("Close")),
                  QDBus::NoBlock);
    }

private:
    QDBusConnection bus_;
    QDBusObjectPath handle_;
};

QDBusMessage ManagerCall(const QString& method)
{
    return QDBusMessage::createMethodCall(Login1, Login1Path, Manager, method);
}
} // namespace

SystemPower::SystemPower(std::function<QDBusConnection()> system, std::function<QDBusConnection()> session)
    : system_(std::move(system))
    , session_(std::move(session))
{
}

std::unique_ptr<SleepLock> SystemPower::KeepAwake(const QString& who, const QString& why)
{
    QDBusConnection bus = system_();
    if (bus.isConnected()) {
        QDBusMessage call = ManagerCall(QStringLiteral("Inhibit"));
        call << QStringLiteral("sleep:idle") << who << why << QStringLiteral("block");
        const QDBusReply<QDBusUnixFileDescriptor> reply = bus.call(call, QDBus::Block, CallTimeoutMs);
        if (reply.isValid() && reply.value().isValid())
            return std::make_unique<DescriptorLock>(reply.value());
    }
    return PortalLock(why);
}

std::unique_ptr<SleepLock> SystemPower::PortalLock(const QString& why)
{
    if (!session_)
        return nullptr;
    QDBusConnection bus = session_();
    if (!bus.isConnected())
        return nullptr;
    QDBusMessage call
        = QDBusMessage::createMethodCall(Portal, QStringLiteral("/org/freedesktop/portal/desktop"),
                                         QStringLiteral("org.freedesktop.portal.Inhibit"), QStringLiteral("Inhibit"));
    // Suspend (4) and idle (8).
    call << QString() << uint(4 | 8) << QVariantMap {{QStringLiteral("reason"), why}};
    const QDBusReply<QDBusObjectPath> reply = bus.call(call, QDBus::Block, CallTimeoutMs);
    if (!reply.isValid())
        return nullptr;
    return std::make_unique<PortalRequestLock>(bus, reply.value());
}

std::optional<QString> SystemPower::Perform(PowerAction action)
{
    const bool suspend = action == PowerAction::Suspend;
    QDBusConnection bus = system_();
    if (!bus.isConnected())
        return bus.lastError().isValid() ? bus.lastError().message() : Login1;
    const QString can = suspend ? QStringLiteral("CanSuspend") : QStringLiteral("CanPowerOff");
    const QDBusReply<QString> allowed = bus.call(ManagerCall(can), QDBus::Block, CallTimeoutMs);
    if (!allowed.isValid())
        return allowed.error().message();
    // "challenge" would need a password nobody is there to type.
    if (allowed.value() != QLatin1String("yes"))
        return can + QStringLiteral(": ") + allowed.value();
    QDBusMessage call = ManagerCall(suspend ? QStringLiteral("Suspend") : QStringLiteral("PowerOff"));
    call << false;
    const QDBusMessage reply = bus.call(call, QDBus::Block, CallTimeoutMs);
    if (reply.type() == QDBusMessage::ErrorMessage)
        return reply.errorMessage().isEmpty() ? reply.errorName() : reply.errorMessage();
    return std::nullopt;
}

std::unique_ptr<Power> DesktopPower()
{
    return std::make_unique<SystemPower>([] { return QDBusConnection::systemBus(); },
                                         [] {
                                             if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
                                                 return QDBusConnection(QStringLiteral("no session bus"));
                                             return QDBusConnection::sessionBus();
                                         });
}
