// Qt Network reaches the program only through its network module, loaded when a version check first
// connects. This test executable links no Qt Network itself, so its own memory map shows when the
// module brought it in; its web site is plain POSIX sockets on 127.0.0.1.
#include "support/FakePlatform.h"
#include "support/TestPaths.h"
#include "support/TestWindow.h"
#include "support/Wait.h"
#include "update/VersionCheck.h"
#include "window/SocketTcpClient.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUrl>
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

QString ProgramFile(const QString& name)
{
    return programFolder() + QLatin1Char('/') + name;
}

QString Ldd(const QString& file)
{
    QProcess ldd;
    ldd.start(QStringLiteral("ldd"), {file});
    if (!ldd.waitForFinished(30000) || ldd.exitCode() != 0)
        return {};
    return QString::fromLocal8Bit(ldd.readAllStandardOutput());
}

QString OwnMaps()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(maps.readAll()) : QString();
}

// A web site that answers one request with `reply` once the request's header has arrived.
class PosixSite
{
public:
    explicit PosixSite(QByteArray reply)
        : reply_(std::move(reply))
    {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
            || ::listen(listener_, 1) != 0
            || ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            return;
        port = ntohs(address.sin_port);
        thread_ = std::thread([this] { serveOne(); });
    }
    ~PosixSite()
    {
        ::shutdown(listener_, SHUT_RDWR);
        if (thread_.joinable())
            thread_.join();
        ::close(listener_);
    }
    // What arrived; read it only after the check has ended.
    QByteArray request;
    int port = 0;

private:
    void serveOne()
    {
        const int client = ::accept(listener_, nullptr, nullptr);
        if (client < 0)
            return;
        char buffer[4096];
        while (!request.contains("\r\n\r\n")) {
            const ssize_t got = ::read(client, buffer, sizeof buffer);
            if (got <= 0)
                break;
            request.append(buffer, got);
        }
        [[maybe_unused]] const ssize_t written = ::write(client, reply_.constData(), reply_.size());
        ::close(client);
    }
    QByteArray reply_;
    int listener_ = -1;
    std::thread thread_;
};

struct Check
{
    explicit Check(const QString& folder = programFolder())
    {
        TestApp();
        fake.platform.createTcpClient = [folder] {
            return std::make_unique<SocketTcpClient>(folder);
        };
        check = std::make_unique<VersionCheck>(fake.platform);
        QObject::connect(check.get(), &VersionCheck::finished, [this](VersionCheck::Outcome o) { outcomes << o; });
    }
    FakePlatform fake;
    std::unique_ptr<VersionCheck> check;
    QList<VersionCheck::Outcome> outcomes;
};

TEST(NetworkModule, OnlyTheModuleLinksQtNetwork)
{
    const QString program = Ldd(ProgramFile(QStringLiteral("reelpocket")));
    ASSERT_TRUE(program.contains(QLatin1String("libQt6Widgets"))) << "ldd read nothing: " << program.toStdString();
    EXPECT_FALSE(program.contains(QLatin1String("libQt6Network"))) << program.toStdString();
    EXPECT_TRUE(
        Ldd(ProgramFile(QStringLiteral("modules/reelpocket-network.so"))).contains(QLatin1String("libQt6Network")));
}

// The started program, up to its first painted window: every load of Qt Network is the module's, and a
// build without a web site of its own loads none.
TEST(NetworkModule, StartedProgramLoadsQtNetworkOnlyThroughTheModule)
{
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("REELPOCKET_BENCH_QUIT_AFTER_SHOW"), QStringLiteral("1"));
    env.insert(QStringLiteral("LD_DEBUG"), QStringLiteral("files"));
    program.setProcessEnvironment(env);
    program.start(ProgramFile(QStringLiteral("reelpocket")), {});
    ASSERT_TRUE(program.waitForFinished(60000));
    ASSERT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
    ASSERT_TRUE(program.readAllStandardOutput().startsWith("shown ")) << "the window was never painted";

    const QString loads = QString::fromLocal8Bit(program.readAllStandardError());
    ASSERT_TRUE(loads.contains(QLatin1String("file=libQt6Widgets"))) << "LD_DEBUG reported no loads";
    const QRegularExpression networkLoad(QStringLiteral("file=libQt6Network[^\\n]*needed by ([^ \\n]*)"));
    int networkLoads = 0;
    for (auto it = networkLoad.globalMatch(loads); it.hasNext(); ++networkLoads) {
        const QString neededBy = it.next().captured(1);
        EXPECT_TRUE(neededBy.endsWith(QLatin1String("modules/reelpocket-network.so"))) << neededBy.toStdString();
    }
    if (QUrl(QStringLiteral(REELPOCKET_SITE_URL)).host().endsWith(QLatin1String(".invalid"))) {
        EXPECT_EQ(networkLoads, 0) << "a build without a web site loaded Qt Network";
    }
}

// In one test, as the memory map only grows: a name that never resolves fails without the module, and
// the first check of a real site loads it and gets its answer.
TEST(NetworkModule, LoadedByTheFirstCheckOfARealSite)
{
    Check c;
    ASSERT_FALSE(OwnMaps().isEmpty());
    EXPECT_FALSE(OwnMaps().contains(QLatin1String("libQt6Network")));

    c.check->StartVersionCheck(QStringLiteral("http://reelpocket.invalid/current_version.php?version=0.74b"));
    ASSERT_TRUE(WaitUntil([&] { return !c.outcomes.isEmpty(); }, 5000, "the failed check"));
    EXPECT_EQ(c.outcomes, QList {VersionCheck::Outcome::Failed});
    EXPECT_FALSE(OwnMaps().contains(QLatin1String("libQt6Network")));
    EXPECT_FALSE(OwnMaps().contains(QLatin1String("reelpocket-network.so")));

    PosixSite site("HTTP/1.0 200 OK\r\n\r\nCURRENT_VERSION=>9.5<=CURRENT_VERSION");
    ASSERT_NE(site.port, 0);
    c.check->StartVersionCheck(QStringLiteral("http://127.0.0.1:%1/current_version.php?version=0.74b").arg(site.port));
    ASSERT_TRUE(WaitUntil([&] { return c.outcomes.size() == 2; }, 10000, "the site's answer"));
    EXPECT_EQ(c.outcomes.last(), VersionCheck::Outcome::NewerVersion);
    EXPECT_TRUE(site.request.startsWith("GET /current_version.php?version=0.74b HTTP/1.0\r\n")) << site.request.data();
    EXPECT_TRUE(OwnMaps().contains(QLatin1String("modules/reelpocket-network.so")));
    EXPECT_TRUE(OwnMaps().contains(QLatin1String("libQt6Network")));
}

TEST(NetworkModule, WithoutTheModuleACheckFailsAtOnce)
{
    QTemporaryDir emptyFolder;
    ASSERT_TRUE(emptyFolder.isValid());
    Check c(emptyFolder.path());
    c.check->StartVersionCheck(QStringLiteral("http://127.0.0.1:9/current_version.php?version=0.74b"));
    // The time-out only runs once connected: without the failure the check would never end.
    ASSERT_TRUE(WaitUntil([&] { return !c.outcomes.isEmpty(); }, 5000, "the failed check"));
    EXPECT_EQ(c.outcomes, QList {VersionCheck::Outcome::Failed});
    EXPECT_TRUE(c.check->tcpClient->isClosed());

    // A failure still on its way when the attempt is dropped is never raised.
    int errors = 0;
    SocketTcpClient client(emptyFolder.path());
    QObject::connect(&client, &TcpClient::error, [&] { ++errors; });
    client.connectTo(QStringLiteral("127.0.0.1"), 9);
    client.close();
    client.connectTo(QStringLiteral("127.0.0.1"), 9);
    ASSERT_TRUE(WaitUntil([&] { return errors > 0; }, 5000, "the second attempt's failure"));
    QTest::qWait(50);
    EXPECT_EQ(errors, 1);
}

} // namespace
