#pragma once

#include <QString>
#include <functional>

class QIODevice;
class QObject;

// The program's only use of Qt Network lives in the module "modules/reelpocket-network.so", loaded when a
// version check first connects, so a start without a check maps no network library. The module hands
// out its TCP socket as a plain QIODevice: the program needs no Qt Network symbol.

struct TcpSocketEvents
{
    std::function<void()> connected;
    std::function<void()> dataReceived;
    std::function<void()> error;
};

struct NetworkModuleApi
{
    // A new unconnected socket that reports through `events` for as long as it lives.
    QIODevice* (*createSocket)(const TcpSocketEvents& events, QObject* parent);
    void (*connectToHost)(QIODevice* socket, const QString& host, int port);
    bool (*isUnconnected)(const QIODevice* socket);
};

// The module's one exported function.
#define REELPOCKET_NETWORK_MODULE_ENTRY "ReelpocketNetworkModule"
using NetworkModuleEntry = const NetworkModuleApi* (*)();

// The module file in a program folder.
QString NetworkModulePath(const QString& programFolder);
