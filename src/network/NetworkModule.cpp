// The network module: everything here links Qt Network, nothing else in the program does.
#include "NetworkModule.h"

#include <QTcpSocket>

namespace {

QIODevice* CreateSocket(const TcpSocketEvents& events, QObject* parent)
{
    auto* socket = new QTcpSocket(parent);
    // The socket is the context: once it is gone, no callback runs.
    QObject::connect(socket, &QTcpSocket::connected, socket, events.connected);
    QObject::connect(socket, &QTcpSocket::readyRead, socket, events.dataReceived);
    QObject::connect(socket, &QTcpSocket::errorOccurred, socket,
                     [error = events.error](QAbstractSocket::SocketError) { error(); });
    return socket;
}

void ConnectToHost(QIODevice* socket, const QString& host, int port)
{
    static_cast<QTcpSocket*>(socket)->connectToHost(host, static_cast<quint16>(port));
}

bool IsUnconnected(const QIODevice* socket)
{
    return static_cast<const QTcpSocket*>(socket)->state() == QAbstractSocket::UnconnectedState;
}

const NetworkModuleApi Api = {CreateSocket, ConnectToHost, IsUnconnected};

} // namespace

extern "C" Q_DECL_EXPORT const NetworkModuleApi* ReelpocketNetworkModule()
{
    return &Api;
}
