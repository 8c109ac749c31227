#pragma once

#include "Platform.h"

#include <QTcpSocket>

class SocketTcpClient : public TcpClient
{
    Q_OBJECT
public:
    explicit SocketTcpClient(QObject* parent = nullptr);
    bool isClosed() const override;
    void close() override;
    void connectTo(const QString& host, int port) override;
    void send(const QByteArray& bytes) override;
    QByteArray takeData() override;

private:
    void attach();
    QTcpSocket* socket_ = nullptr;
};
