#include "support/TestWindow.h"
#include "update/VersionCheck.h"
#include "window/Twips.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

// Readable failure messages.
void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {

const QColor Red(255, 0, 0);
const QColor Green(0, 192, 0);

QByteArray HttpReply(const QByteArray& body)
{
    return "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n" + body;
}

// A web site on 127.0.0.1 that answers one request once its header has fully arrived, or never answers.
class SiteServer
{
public:
    explicit SiteServer(QByteArray reply, bool answers = true)
        : reply_(std::move(reply))
        , answers_(answers)
    {
        server_.listen(QHostAddress::LocalHost);
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                ++connections;
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { onRequest(socket); });
            }
        });
    }
    quint16 port() const { return server_.serverPort(); }
    QString baseUrl(const QString& path = QStringLiteral("/")) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(path);
    }

    QByteArray request;
    int connections = 0;

private:
    void onRequest(QTcpSocket* socket)
    {
        request += socket->readAll();
        if (answers_ && !answered_ && request.contains("\r\n\r\n")) {
            answered_ = true;
            socket->write(reply_);
            socket->disconnectFromHost();
        }
    }
    QTcpServer server_;
    QByteArray reply_;
    bool answers_;
    bool answered_ = false;
};

// What the panel showed when the outcome's pause began.
struct Outcome
{
    QString caption;
    QString paintedCaption;
    QColor colour;
    bool frameVisible;
    bool timerActive;
    bool winsockClosed;
    qint64 elapsedMs;
};

class PausingSystem : public FakeSystem
{
public:
    void pause(int milliseconds, std::function<void()> then) override
    {
        if (onPause)
            onPause();
        FakeSystem::pause(milliseconds, std::move(then));
    }
    std::function<void()> onPause;
};

// Remembers the caption the label last painted, to tell whether the outcome was on screen during the pause.
class PaintWatcher : public QObject
{
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted = static_cast<QLabel*>(watched)->text();
        return false;
    }
    QString painted;
};

// The real window over fakes and a real TCP client, as start-up leaves it just before the check starts.
struct CheckWindow
{
    explicit CheckWindow(QChar separator = QLatin1Char('.'))
    {
        TestApp();
        auto pausing = std::make_unique<PausingSystem>();
        system = pausing.get();
        fake.system = pausing.get();
        fake.platform.system = std::move(pausing);
        fake.system->folder = programFolder();
        fake.system->separator = separator;
        fake.useRealTcp();
        lang.CurrentLanguage = QStringLiteral("English");
        LoadLanguageFile(lang, QDir(programFolder()).filePath(QStringLiteral("Languages")));
        window = std::make_unique<MainWindow>(fake.platform, lang, TestSite);
        window->ApplyWindowTexts();
        form = std::make_unique<FormControls>(*window);
        labelCentre = form->lblCheckVersion->x() + form->lblCheckVersion->width() / 2.0;
        form->frameCheckVersion->setVisible(true);
        form->lblCheckVersion->setText(t("cmdCheckVersion_ing"));
        form->lblCheckVersion->installEventFilter(&watcher);
        window->show();
        system->onPause = [this] {
            outcomes.push_back({form->lblCheckVersion->text(), watcher.painted, TextColour(form->lblCheckVersion),
                                form->frameCheckVersion->isVisible(), form->versionCheck->timerCheckVersion->isActive(),
                                form->versionCheck->tcpClient->isClosed(), clock.elapsed()});
        };
    }

    QString t(const char* key) const { return Translate(lang, QLatin1String(key)); }
    void start(const QString& url)
    {
        clock.start();
        form->versionCheck->StartVersionCheck(url);
    }
    void startOn(const SiteServer& server) { start(VersionCheckUrl(server.baseUrl(), fake.system->separator)); }
    bool showsNewer() const { return form->cmdGetNewVersion->isVisible(); }
    // Waits for an outcome: a pause began, or the newer-version panel is up.
    bool waitForOutcome(int timeoutMs = 10000)
    {
        return QTest::qWaitFor([this] { return !outcomes.empty() || showsNewer(); }, timeoutMs);
    }
    bool waitForRequest(SiteServer& server)
    {
        return QTest::qWaitFor([&] { return server.request.contains("\r\n\r\n"); }, 5000);
    }

    FakePlatform fake;
    PausingSystem* system;
    PaintWatcher watcher;
    Localisation lang;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<FormControls> form;
    double labelCentre = 0; // where the window definition centres the outcome
    std::vector<Outcome> outcomes;
    QElapsedTimer clock;
};

// The outcome shown for a moment, then the panel gone and the check fully ended.
void ExpectBriefOutcome(CheckWindow& w, const QString& caption, const QColor& colour)
{
    ASSERT_EQ(w.outcomes.size(), 1u);
    const Outcome& o = w.outcomes.front();
    EXPECT_EQ(o.caption, caption);
    EXPECT_EQ(o.paintedCaption, caption);
    EXPECT_EQ(o.colour, colour);
    EXPECT_TRUE(o.frameVisible);
    EXPECT_FALSE(o.timerActive);
    EXPECT_TRUE(o.winsockClosed);
    EXPECT_EQ(w.system->pauses, QList<int> {1500});
    EXPECT_FALSE(w.form->frameCheckVersion->isVisible());
    EXPECT_FALSE(w.form->cmdGetNewVersion->isVisible());
    EXPECT_FALSE(w.form->versionCheck->timerCheckVersion->isActive());
}

void ExpectNewerOutcome(CheckWindow& w)
{
    EXPECT_TRUE(w.outcomes.empty());
    EXPECT_TRUE(w.system->pauses.isEmpty());
    EXPECT_TRUE(w.form->frameCheckVersion->isVisible());
    EXPECT_TRUE(w.form->cmdGetNewVersion->isVisible());
    EXPECT_EQ(w.form->lblCheckVersion->text(), w.t("cmdCheckVersion_yes"));
    EXPECT_EQ(TextColour(w.form->lblCheckVersion), Green);
    EXPECT_FALSE(w.form->versionCheck->timerCheckVersion->isActive());
    EXPECT_TRUE(w.form->versionCheck->tcpClient->isClosed());
}

} // namespace

TEST(VersionCheck, SendsTheRequestInOneHttp10PieceByteForByte)
{
    CheckWindow w;
    SiteServer server(HttpReply("CURRENT_VERSION=>0.74<=CURRENT_VERSION"));
    w.start(VersionCheckUrl(server.baseUrl(QStringLiteral("/reelpocket/")), QLatin1Char('.')));
    ASSERT_TRUE(w.waitForOutcome());
    EXPECT_EQ(server.request,
              QByteArray("GET /reelpocket/current_version.php?version=0.74b HTTP/1.0\r\n"
                         "User-Agent: Reelpocket/0.74\r\n"
                         "Host: 127.0.0.1\r\n"
                         "\r\n"));
    EXPECT_EQ(server.connections, 1);
}

TEST(VersionCheck, DecimalCommaRegionWritesTheVersionWithACommaButReadsTheReplyWithAPoint)
{
    CheckWindow w(QLatin1Char(','));
    SiteServer server(HttpReply("CURRENT_VERSION=>0.75<=CURRENT_VERSION"));
    w.startOn(server);
    ASSERT_TRUE(w.waitForOutcome());
    EXPECT_EQ(server.request,
              QByteArray("GET /current_version.php?version=0,74b HTTP/1.0\r\n"
                         "User-Agent: Reelpocket/0,74\r\n"
                         "Host: 127.0.0.1\r\n"
                         "\r\n"));
    ExpectNewerOutcome(w);
}

TEST(VersionCheck, GreaterVersionKeepsThePanelWithTheDownloadButton)
{
    for (const QByteArray& body : {QByteArray("CURRENT_VERSION=>0.75<=CURRENT_VERSION"),
                                   // The comma ends the number: version 1.
                                   QByteArray("<html>CURRENT_VERSION=>1,2<=CURRENT_VERSION</html>"),
                                   QByteArray("CURRENT_VERSION=>0.80beta<=CURRENT_VERSION")}) {
        SCOPED_TRACE(body.toStdString());
        CheckWindow w;
        SiteServer server(HttpReply(body));
        w.startOn(server);
        ASSERT_TRUE(w.waitForOutcome());
        ExpectNewerOutcome(w);

        // The outcome must be readable: the label fits its text, centred where the window put it.
        const QLabel* label = w.form->lblCheckVersion;
        EXPECT_GE(label->width(), label->sizeHint().width());
        EXPECT_NEAR(label->x() + label->width() / 2.0, w.labelCentre, 1.0);
    }
}

TEST(VersionCheck, SameOlderOrMissingVersionIsUpToDate)
{
    for (const QByteArray& reply :
         {HttpReply("CURRENT_VERSION=>0.74<=CURRENT_VERSION"), HttpReply("CURRENT_VERSION=>0.7<=CURRENT_VERSION"),
          // Both markers must stand on one line.
          HttpReply("CURRENT_VERSION=>0.75\n<=CURRENT_VERSION"),
          QByteArray("HTTP/1.0 404 Not Found\r\n\r\n<h1>Not Found</h1>")}) {
        SCOPED_TRACE(reply.toStdString());
        CheckWindow w;
        SiteServer server(reply);
        w.startOn(server);
        ASSERT_TRUE(w.waitForOutcome());
        ExpectBriefOutcome(w, w.t("cmdCheckVersion_no"), Green);
    }
}

TEST(VersionCheck, ReplyOfExactlyMinusOneIsAFailure)
{
    CheckWindow w;
    SiteServer server("-1");
    w.startOn(server);
    ASSERT_TRUE(w.waitForOutcome());
    ExpectBriefOutcome(w, w.t("cmdCheckVersion_nointernet"), Red);
}

TEST(VersionCheck, SilentServerFailsOnceAtTheTimeOut)
{
    CheckWindow w;
    SiteServer server(QByteArray(), false);
    w.startOn(server);
    ASSERT_TRUE(w.waitForRequest(server));
    EXPECT_TRUE(w.form->versionCheck->timerCheckVersion->isActive());
    ASSERT_TRUE(w.waitForOutcome(6000));
    EXPECT_GE(w.outcomes.front().elapsedMs, 1800);
    // Another full interval: no second ending.
    QTest::qWait(2500);
    ExpectBriefOutcome(w, w.t("cmdCheckVersion_nointernet"), Red);
}

TEST(VersionCheck, RefusedConnectionFailsWithoutWaitingForTheTimeOut)
{
    quint16 closedPort;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
        closedPort = probe.serverPort();
    }
    CheckWindow w;
    w.start(VersionCheckUrl(QStringLiteral("http://127.0.0.1:%1/").arg(closedPort), QLatin1Char('.')));
    // Well inside the 2000 ms the time-out would take.
    ASSERT_TRUE(w.waitForOutcome(1500));
    ExpectBriefOutcome(w, w.t("cmdCheckVersion_nointernet"), Red);
}

TEST(VersionCheck, UnresolvableHostFails)
{
    CheckWindow w;
    w.start(VersionCheckUrl(QStringLiteral("http://version-check.reelpocket.invalid/"), QLatin1Char('.')));
    ASSERT_TRUE(w.waitForOutcome(30000));
    ExpectBriefOutcome(w, w.t("cmdCheckVersion_nointernet"), Red);
}

TEST(VersionCheck, HugeSingleLineReplyIsJudgedOnItsFirstPiece)
{
    // No socket buffer holds 10 MB, so the first piece cannot carry the end marker: a check that kept
    // reading would find version 9 and call it newer.
    QByteArray body = "CURRENT_VERSION=>9";
    body += QByteArray(10 * 1024 * 1024, 'x');
    body += "<=CURRENT_VERSION";
    CheckWindow w;
    SiteServer server(HttpReply(body));
    w.startOn(server);
    ASSERT_TRUE(w.waitForOutcome(20000));
    ExpectBriefOutcome(w, w.t("cmdCheckVersion_no"), Green);
    EXPECT_TRUE(w.form->versionCheck->VersionReply.startsWith(QLatin1String("HTTP/1.0 200 OK")));
    EXPECT_LT(w.form->versionCheck->VersionReply.size(), body.size());
}

namespace {
// Records what the check asks of the TCP client, without any network.
class RecordingTcpClient : public TcpClient
{
public:
    bool isClosed() const override { return !open; }
    void close() override
    {
        ++closes;
        open = false;
    }
    void connectTo(const QString& h, int p) override
    {
        host = h;
        port = p;
        open = true;
    }
    void send(const QByteArray& bytes) override { sent += bytes; }
    QByteArray takeData() override { return {}; }
    QString host;
    int port = -1;
    bool open = false;
    int closes = 0;
    QByteArray sent;
};
} // namespace

TEST(VersionCheck, UrlGivesHostPortAndPath)
{
    TestApp();
    FakePlatform fake;
    RecordingTcpClient* client = nullptr;
    fake.platform.createTcpClient = [&client] {
        auto c = std::make_unique<RecordingTcpClient>();
        client = c.get();
        return c;
    };
    VersionCheck check(fake.platform);
    VersionCheck* versionCheck = &check;

    EXPECT_EQ(VersionCheckUrl(QStringLiteral("http://site.invalid/"), QLatin1Char(',')),
              QStringLiteral("http://site.invalid/current_version.php?version=0,74b"));

    versionCheck->StartVersionCheck(VersionCheckUrl(QStringLiteral("http://site.invalid/"), QLatin1Char('.')));
    EXPECT_EQ(client->host, QStringLiteral("site.invalid"));
    EXPECT_EQ(client->port, 80);
    EXPECT_EQ(versionCheck->SitePath, QStringLiteral("/current_version.php?version=0.74b"));
    EXPECT_EQ(client->closes, 0);

    // A client still busy is closed before the new connection.
    versionCheck->StartVersionCheck(QStringLiteral("http://other.invalid:8080/a/b?x=1"));
    EXPECT_EQ(client->closes, 1);
    EXPECT_EQ(client->host, QStringLiteral("other.invalid"));
    EXPECT_EQ(client->port, 8080);
    EXPECT_EQ(versionCheck->SiteHost, QStringLiteral("other.invalid"));
    EXPECT_EQ(versionCheck->SitePath, QStringLiteral("/a/b?x=1"));

    versionCheck->StartVersionCheck(QStringLiteral("http://bare.invalid"));
    EXPECT_EQ(client->host, QStringLiteral("bare.invalid"));
    EXPECT_EQ(versionCheck->SitePath, QStringLiteral("/"));

    // The Host line never carries the port.
    versionCheck->StartVersionCheck(QStringLiteral("http://other.invalid:8080/x"));
    versionCheck->OnConnected();
    EXPECT_EQ(client->sent,
              QByteArray("GET /x HTTP/1.0\r\nUser-Agent: Reelpocket/0.74\r\nHost: other.invalid\r\n\r\n"));
    EXPECT_TRUE(versionCheck->timerCheckVersion->isActive());
    versionCheck->timerCheckVersion->stop();
}
