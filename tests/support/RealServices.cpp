#include "FakePlatform.h"

#include "desktop/ProcessRunner.h"
#include "window/SocketTcpClient.h"

void FakePlatform::useRealRunner()
{
    FakeSystem* sys = system;
    platform.createRunner = [sys]() -> std::unique_ptr<CommandRunner> {
        return std::make_unique<ProcessRunner>(sys->folder);
    };
}

void FakePlatform::useRealTcp()
{
    // Through the program folder's network module, as the program connects.
    platform.createTcpClient = [] {
        return std::make_unique<SocketTcpClient>(QStringLiteral(REELPOCKET_PROGRAM_DIR));
    };
}
