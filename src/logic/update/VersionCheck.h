#pragma once

#include "platform/Platform.h"

#include <QObject>
#include <memory>

class QTimer;

constexpr double ProgramVersion = 0.74;

// Asks the product web site once, with one HTTP/1.0 request, whether a newer version exists. The
// first piece of the reply decides; no reply within the time-out counts as a failure.
class VersionCheck : public QObject
{
    Q_OBJECT
public:
    enum class Outcome { Failed, NewerVersion, UpToDate };

    explicit VersionCheck(Platform& platform, QObject* parent = nullptr);

    void StartVersionCheck(const QString& url);
    void OnConnected();
    void OnReplyArrived();
    void OnConnectionError();
    void timerCheckVersion_Timer();
    // Reads VersionReply; "-1" stands for a failed check.
    Outcome EvaluateVersionReply() const;

    QString SiteHost;
    QString SitePath;
    QString VersionReply;
    std::unique_ptr<TcpClient> tcpClient;
    QTimer* timerCheckVersion;

signals:
    void finished(VersionCheck::Outcome outcome);

private:
    void EndCheckAsFailed();
    Platform& platform_;
};

// What a reply says about this program's version; "-1" stands for a failed check.
VersionCheck::Outcome EvaluateVersionText(const QString& reply);

// The check URL for this program's version, with the user's decimal separator.
QString VersionCheckUrl(const QString& siteBaseUrl, QChar decimalSeparator);
