#include "LogindMock.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusUnixFileDescriptor>
#include <QFile>
#include <QTest>
#include <csignal>
#include <sys/prctl.h>

namespace {
const QString Manager = QStringLiteral("org.freedesktop.login1.Manager");
const QString Path = QStringLiteral("/org/freedesktop/login1");
const QString ConnectionName = QStringLiteral("logind mock");

// A system bus that lets its one user do everything, file descriptors included.
const char Config[] = R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:tmpdir=/tmp</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_destination="*"/>
    <allow receive_sender="*"/>
  </policy>
</busconfig>
)";
// The bus and the mock end with the test, however it ends.
void EndWithTheTest(QProcess& process)
{
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
}
} // namespace

LogindMock::LogindMock()
{
    EndWithTheTest(daemon_);
    EndWithTheTest(mock_);
    QFile config(dir_.filePath(QStringLiteral("system.conf")));
    if (!config.open(QIODevice::WriteOnly) || config.write(Config) < 0)
        return;
    config.close();
    daemon_.start(QStringLiteral("dbus-daemon"),
                  {QStringLiteral("--config-file=") + config.fileName(), "--nofork", "--print-address=1"});
    if (!daemon_.waitForReadyRead(5000))
        return;
    address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", address_.toUtf8());
    mock_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    mock_.start(QStringLiteral("/usr/bin/python3"), {"-m", "dbusmock", "--system", "--template", "logind"});
    QDBusConnection b = bus();
    ready_ = QTest::qWaitFor(
        [&b] {
            const QDBusReply<bool> owned
                = b.interface()->call(QStringLiteral("NameHasOwner"), QStringLiteral("org.freedesktop.login1"));
            return owned.isValid() && owned.value();
        },
        10000);
}

LogindMock::~LogindMock()
{
    QDBusConnection::disconnectFromBus(ConnectionName);
    mock_.kill();
    mock_.waitForFinished();
    daemon_.kill();
    daemon_.waitForFinished();
}

QDBusConnection LogindMock::bus()
{
    return QDBusConnection::connectToBus(address_, ConnectionName);
}

QStringList LogindMock::Inhibitors()
{
    const QDBusMessage reply = bus().call(QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.login1"), Path,
                                                                         Manager, QStringLiteral("ListInhibitors")));
    QStringList locks;
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {QStringLiteral("(no answer)")};
    const QDBusArgument list = reply.arguments().first().value<QDBusArgument>();
    list.beginArray();
    while (!list.atEnd()) {
        QString what, who, why, mode;
        uint uid = 0, pid = 0;
        list.beginStructure();
        list >> what >> who >> why >> mode >> uid >> pid;
        list.endStructure();
        locks << QStringList {what, who, why, mode}.join(QLatin1Char('|'));
    }
    list.endArray();
    return locks;
}

QStringList LogindMock::Calls()
{
    const QDBusMessage reply = bus().call(QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.login1"), Path,
                                                                         QStringLiteral("org.freedesktop.DBus.Mock"),
                                                                         QStringLiteral("GetCalls")));
    QStringList calls;
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {QStringLiteral("(no answer)")};
    const QDBusArgument list = reply.arguments().first().value<QDBusArgument>();
    list.beginArray();
    while (!list.atEnd()) {
        qulonglong time = 0;
        QString method;
        QVariantList args;
        list.beginStructure();
        list >> time >> method >> args;
        list.endStructure();
        QStringList words {method};
        for (const QVariant& arg : args)
            words << arg.toString();
        calls << words.join(QLatin1Char(' '));
    }
    list.endArray();
    return calls;
}

bool LogindMock::Replace(const QString& method, const QString& inSignature, const QString& outSignature,
                         const QString& code)
{
    QDBusMessage call
        = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.login1"), Path,
                                         QStringLiteral("org.freedesktop.DBus.Mock"), QStringLiteral("AddMethod"));
    call << Manager << method << inSignature << outSignature << code;
    return bus().call(call).type() == QDBusMessage::ReplyMessage;
}
