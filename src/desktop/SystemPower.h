#pragma once

#include "platform/Power.h"

#include <QDBusConnection>
#include <functional>

// Sleep locks and power actions from logind on the system bus; where logind gives no lock (a sandbox), the
// desktop portal's on the session bus. The buses are reached on first use.
class SystemPower : public Power
{
public:
    // `session` is asked only when logind gives no lock; an unset one means no session bus.
    SystemPower(std::function<QDBusConnection()> system, std::function<QDBusConnection()> session);

    // logind's lock is a file descriptor: closing it releases the lock, also when the program dies.
    std::unique_ptr<SleepLock> KeepAwake(const QString& who, const QString& why) override;
    std::optional<QString> Perform(PowerAction action) override;

private:
    std::unique_ptr<SleepLock> PortalLock(const QString& why);

    std::function<QDBusConnection()> system_;
    std::function<QDBusConnection()> session_;
};

// The program's own: the system bus where there is one, and the session bus only where the environment
// names one, so a run without a desktop starts no bus of its own.
std::unique_ptr<Power> DesktopPower();
