#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

// A system bus of the test's own with python3-dbusmock's logind on it. The program reaches it through
// DBUS_SYSTEM_BUS_ADDRESS, which the constructor sets for this process and its children.
class LogindMock
{
public:
    LogindMock();
    ~LogindMock();
    // The bus runs and the mock has taken logind's name.
    bool ready() const { return ready_; }
    const QString& address() const { return address_; }
    // The sleep locks logind holds, each "what|who|why|mode".
    QStringList Inhibitors();
    // The manager's methods called so far, in order, each with its arguments ("Suspend false").
    QStringList Calls();
    // Replaces a method of the manager with Python code (dbusmock's AddMethod).
    bool Replace(const QString& method, const QString& inSignature, const QString& outSignature, const QString& code);

private:
    QDBusConnection bus();
    QTemporaryDir dir_;
    QProcess daemon_;
    QProcess mock_;
    QString address_;
    bool ready_ = false;
};
