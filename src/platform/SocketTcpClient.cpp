#include "SocketTcpClient.h"

SocketTcpClient::SocketTcpClient(QObject* parent)
    : TcpClient(parent)
{
}

bool SocketTcpClient::isClosed() const
{
    return !socket_ || socket_->state() == QAbstractSocket::UnconnectedState;
}

void SocketTcpClient::close()
{
    if (!socket_)
        return;
    // A fresh socket per connection guarantees no late event of the old one reaches us.
    socket_->disconnect(this);
    socket_->abort();
    socket_->deleteLater();
    socket_ = nullptr;
}

void SocketTcpClient::attach()
{
    socket_ = new QTcpSocket(this);
    connect(socket_, &QTcpSocket::connected, this, &TcpClient::connected);
    connect(socket_, &QTcpSocket::readyRead, this, &TcpClient::dataArrival);
    connect(socket_, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError) { emit error(); });
}

void SocketTcpClient::connectTo(const QString& host, int port)
{
    close();
    attach();
    socket_->connectToHost(host, static_cast<quint16>(port));
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
