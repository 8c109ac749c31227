#include "SocketTcpClient.h"

#include <QDir>
#include <QIODevice>
#include <QLibrary>

namespace {

// Names under the reserved top-level domain "invalid" never resolve, so a build without a web site of
// its own asks no name server and loads no network library.
bool NeverResolves(const QString& host)
{
    return host.compare(QLatin1String("invalid"), Qt::CaseInsensitive) == 0
        || host.endsWith(QLatin1String(".invalid"), Qt::CaseInsensitive)
        || host.endsWith(QLatin1String(".invalid."), Qt::CaseInsensitive);
}

const NetworkModuleApi* LoadNetworkModule(const QString& programFolder)
{
    // Never unloaded: Qt Network keeps global state for the rest of the process.
    QLibrary library(NetworkModulePath(programFolder));
    const auto entry = reinterpret_cast<NetworkModuleEntry>(library.resolve(REELPOCKET_NETWORK_MODULE_ENTRY));
    if (!entry) {
        qWarning("Reelpocket: no network: %s", qUtf8Printable(library.errorString()));
        return nullptr;
    }
    return entry();
}

} // namespace

QString NetworkModulePath(const QString& programFolder)
{
    return QDir(programFolder).filePath(QStringLiteral("modules/reelpocket-network.so"));
}

SocketTcpClient::SocketTcpClient(QString programFolder, QObject* parent)
    : TcpClient(parent)
    , programFolder_(std::move(programFolder))
{
}

SocketTcpClient::~SocketTcpClient()
{
    // The socket's last events must not reach a client that is half gone.
    close();
}

bool SocketTcpClient::isClosed() const
{
    return !socket_ || module_->isUnconnected(socket_);
}

void SocketTcpClient::close()
{
    ++attempt_;
    if (!socket_)
        return;
    // A fresh socket per connection guarantees no late event of the old one reaches us.
    socket_->disconnect();
    socket_->close();
    socket_->deleteLater();
    socket_ = nullptr;
}

void SocketTcpClient::failSoon()
{
    // Raised from the event loop, as a socket raises its errors.
    QMetaObject::invokeMethod(
        this,
        [this, attempt = attempt_] {
            if (attempt == attempt_)
                emit error();
        },
        Qt::QueuedConnection);
}

void SocketTcpClient::connectTo(const QString& host, int port)
{
    close();
    if (NeverResolves(host))
        return failSoon();
    if (!module_)
        module_ = LoadNetworkModule(programFolder_);
    if (!module_)
        return failSoon();
    TcpSocketEvents events;
    events.connected = [this] {
        emit connected();
    };
    events.dataReceived = [this] {
        emit dataReceived();
    };
    events.error = [this] {
        emit error();
    };
    socket_ = module_->createSocket(events, this);
    module_->connectToHost(socket_, host, port);
}

void SocketTcpClient::send(const QByteArray& bytes)
{
    if (socket_)
        socket_->write(bytes);
}

QByteArray SocketTcpClient::takeData()
{
    return socket_ ? socket_->readAll() : QByteArray();
}
