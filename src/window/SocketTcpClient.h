#pragma once

#include "network/NetworkModule.h"
#include "platform/Platform.h"

class QIODevice;

// A TCP connection through the network module of the program folder, which is loaded on the first
// connection. Without the module, and for names that can never resolve, a connection fails at once.
class SocketTcpClient : public TcpClient
{
    Q_OBJECT
public:
    explicit SocketTcpClient(QString programFolder, QObject* parent = nullptr);
    ~SocketTcpClient() override;
    bool isClosed() const override;
    void close() override;
    void connectTo(const QString& host, int port) override;
    void send(const QByteArray& bytes) override;
    QByteArray takeData() override;

private:
    void failSoon();
    QString programFolder_;
    const NetworkModuleApi* module_ = nullptr;
    QIODevice* socket_ = nullptr;
    // Counts connections and closes, so a failure queued for an attempt that was dropped is never raised.
    quint64 attempt_ = 0;
};
