#include "VersionCheck.h"

#include "text/TextReading.h"

#include <QTimer>

namespace {

// The program's version as the user writes numbers: "0.74" or "0,74".
QString VersionText(QChar decimalSeparator)
{
    QString text = QString::number(ProgramVersion);
    text.replace(QLatin1Char('.'), decimalSeparator);
    return text;
}

// The port text after the host: its leading integer, 0 when there is none (the connection then fails).
int PortNumber(const QString& text)
{
    const double value = LeadingNumber(text);
    return value >= 1 && value <= 65535 ? static_cast<int>(value) : 0;
}

} // namespace

QString VersionCheckUrl(const QString& siteBaseUrl, QChar decimalSeparator)
{
    return siteBaseUrl + QStringLiteral("current_version.php?version=") + VersionText(decimalSeparator)
        + QLatin1Char('b');
}

VersionCheck::VersionCheck(Platform& platform, QObject* parent)
    : QObject(parent)
    , timerCheckVersion(new QTimer(this))
    , platform_(platform)
{
    timerCheckVersion->setObjectName(QStringLiteral("timerCheckVersion"));
    timerCheckVersion->setInterval(2000);
    connect(timerCheckVersion, &QTimer::timeout, this, &VersionCheck::timerCheckVersion_Timer);
}

void VersionCheck::StartVersionCheck(const QString& url)
{
    QString host = url;
    const qsizetype scheme = url.indexOf(QStringLiteral("://"));
    if (scheme >= 0)
        host = url.mid(scheme + 3);

    QString path = QStringLiteral("/");
    const qsizetype slash = host.indexOf(QLatin1Char('/'));
    if (slash >= 0) {
        path = host.mid(slash);
        host.truncate(slash);
    }

    int port = 80;
    const qsizetype colon = host.indexOf(QLatin1Char(':'));
    if (colon >= 0) {
        port = PortNumber(host.mid(colon + 1));
        host.truncate(colon);
    }

    SiteHost = host;
    SitePath = path;

    // The connection is made only when a check runs.
    if (!tcpClient) {
        tcpClient = platform_.createTcpClient();
        connect(tcpClient.get(), &TcpClient::connected, this, &VersionCheck::OnConnected);
        connect(tcpClient.get(), &TcpClient::dataReceived, this, &VersionCheck::OnReplyArrived);
        connect(tcpClient.get(), &TcpClient::error, this, &VersionCheck::OnConnectionError);
    }
    if (!tcpClient->isClosed())
        tcpClient->close();
    tcpClient->connectTo(host, port);
}

void VersionCheck::OnConnected()
{
    // The time-out covers the wait for the reply, not the connection.
    timerCheckVersion->start();
    const QString request = QStringLiteral("GET ") + SitePath + QStringLiteral(" HTTP/1.0\r\n")
        + QStringLiteral("User-Agent: Reelpocket/") + VersionText(platform_.system->decimalSeparator())
        + QStringLiteral("\r\n") + QStringLiteral("Host: ") + SiteHost + QStringLiteral("\r\n\r\n");
    tcpClient->send(request.toLocal8Bit());
}

void VersionCheck::OnReplyArrived()
{
    timerCheckVersion->stop();
    VersionReply = QString::fromLocal8Bit(tcpClient->takeData());
    // The first piece decides; the rest of a longer reply is never read.
    tcpClient->close();
    emit finished(EvaluateVersionReply());
}

void VersionCheck::EndCheckAsFailed()
{
    timerCheckVersion->stop();
    if (tcpClient)
        tcpClient->close();
    VersionReply = QStringLiteral("-1");
    emit finished(EvaluateVersionReply());
}

void VersionCheck::OnConnectionError()
{
    EndCheckAsFailed();
}

void VersionCheck::timerCheckVersion_Timer()
{
    EndCheckAsFailed();
}

VersionCheck::Outcome VersionCheck::EvaluateVersionReply() const
{
    return EvaluateVersionText(VersionReply);
}

VersionCheck::Outcome EvaluateVersionText(const QString& reply)
{
    const QString between
        = ExtractBetween(reply, QStringLiteral("CURRENT_VERSION=>"), QStringLiteral("<=CURRENT_VERSION"));
    if (reply == QLatin1String("-1"))
        return VersionCheck::Outcome::Failed;
    if (LeadingNumber(between) > ProgramVersion)
        return VersionCheck::Outcome::NewerVersion;
    return VersionCheck::Outcome::UpToDate;
}
