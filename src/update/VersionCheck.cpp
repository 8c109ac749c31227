#include "VersionCheck.h"

#include "conversion/MediaInfo.h"
#include "localisation/WindowTexts.h"
#include "window/Form1.h"
#include "window/TabControl.h"
#include "window/Twips.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace {

const QColor FailedColour(255, 0, 0);
const QColor OutcomeColour(0, 192, 0);

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

// The window definition gives the label only a sliver of width; it grows to its text around the
// centre it was given there, so every outcome can be read.
void ShowCheckText(Form1& f, const QString& text)
{
    QLabel* label = f.lblCheckVersion;
    static const char* centreProperty = "reelpocketCentreX";
    QVariant centre = label->property(centreProperty);
    if (!centre.isValid()) {
        centre = label->x() + label->width() / 2.0;
        label->setProperty(centreProperty, centre);
    }
    label->setText(text);
    label->setAlignment(Qt::AlignCenter);
    const QSize hint = label->sizeHint();
    const int width = qMin(hint.width(), f.frameCheckVersion->width());
    const int height = qMax(label->height(), hint.height());
    const int left = qBound(0, qRound(centre.toDouble() - width / 2.0), f.frameCheckVersion->width() - width);
    label->setGeometry(left, label->y(), width, height);
}

} // namespace

QString VersionCheckUrl(const QString& siteBaseUrl, QChar decimalSeparator)
{
    return siteBaseUrl + QStringLiteral("current_version.php?version=") + VersionText(decimalSeparator)
        + QLatin1Char('b');
}

void StartVersionCheck(Form1& f, const QString& url)
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

    f.version.SiteHost = host;
    f.version.SitePath = path;

    // Start-up has just put the "checking" caption up.
    ShowCheckText(f, f.lblCheckVersion->text());

    if (!f.Winsock1->isClosed())
        f.Winsock1->close();
    f.Winsock1->connectTo(host, port);
}

void Winsock1_Connect(Form1& f)
{
    // The time-out covers the wait for the reply, not the connection.
    f.timerCheckVersion->start();
    const QString request = QStringLiteral("GET ") + f.version.SitePath + QStringLiteral(" HTTP/1.0\r\n")
        + QStringLiteral("User-Agent: Reelpocket/") + VersionText(f.platform.system->decimalSeparator())
        + QStringLiteral("\r\n") + QStringLiteral("Host: ") + f.version.SiteHost + QStringLiteral("\r\n\r\n");
    f.Winsock1->send(request.toLocal8Bit());
}

void Winsock1_DataArrival(Form1& f)
{
    f.timerCheckVersion->stop();
    f.version.VersionReply = QString::fromLocal8Bit(f.Winsock1->takeData());
    // The first piece decides; the rest of a longer reply is never read.
    f.Winsock1->close();
    EvaluateVersionReply(f);
}

namespace {
void EndCheckAsFailed(Form1& f)
{
    f.timerCheckVersion->stop();
    f.Winsock1->close();
    f.version.VersionReply = QStringLiteral("-1");
    EvaluateVersionReply(f);
}
} // namespace

void Winsock1_Error(Form1& f)
{
    EndCheckAsFailed(f);
}

void timerCheckVersion_Timer(Form1& f)
{
    EndCheckAsFailed(f);
}

void EvaluateVersionReply(Form1& f)
{
    const QString between = ExtractBetween(f.version.VersionReply, QStringLiteral("CURRENT_VERSION=>"),
                                           QStringLiteral("<=CURRENT_VERSION"));
    const double remoteVersion = LeadingNumber(between);

    if (f.version.VersionReply == QLatin1String("-1")) {
        SetTextColour(f.lblCheckVersion, FailedColour);
        ShowCheckText(f, T(f, QStringLiteral("cmdCheckVersion_nointernet")));
    } else if (remoteVersion > ProgramVersion) {
        SetTextColour(f.lblCheckVersion, OutcomeColour);
        ShowCheckText(f, T(f, QStringLiteral("cmdCheckVersion_yes")));
        // The panel stays up with the download button until the user acts.
        f.cmdGetNewVersion->setVisible(true);
        return;
    } else {
        SetTextColour(f.lblCheckVersion, OutcomeColour);
        ShowCheckText(f, T(f, QStringLiteral("cmdCheckVersion_no")));
    }

    // Shown for a moment with the window deliberately unresponsive, then the normal window returns.
    f.lblCheckVersion->repaint();
    f.platform.system->pause(1500);
    ApplyWindowTexts(f);
    f.frameCheckVersion->setVisible(false);
    f.tabMain->setEnabled(true);
}
