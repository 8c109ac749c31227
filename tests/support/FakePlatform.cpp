#include "FakePlatform.h"

#include <QPointer>

namespace {
QPointer<FakeRunner> lastStarted;
} // namespace

std::optional<CommandRunner::RunError> FakeRunner::Run(const QString& cmd, const Environment& variables)
{
    command = cmd;
    lastStarted = this;
    environment = variables;
    log_->commands << cmd;
    log_->environments << variables;
    runError = log_->nextRunError;
    log_->nextRunError.reset();
    return runError;
}

void FakeRunner::Stop()
{
    stopped = true;
    ++log_->stops;
}

FakeRunner* CurrentRunner()
{
    return lastStarted && !lastStarted->stopped ? lastStarted.data() : nullptr;
}

// A TCP client that never connects; version-check tests replace it with the real one.
class IdleTcpClient : public TcpClient
{
public:
    bool isClosed() const override { return true; }
    void close() override { }
    void connectTo(const QString&, int) override { }
    void send(const QByteArray&) override { }
    QByteArray takeData() override { return {}; }
};

FakePlatform::FakePlatform()
{
    auto m = std::make_unique<FakeMessageBoxes>();
    auto d = std::make_unique<FakeFileDialogs>();
    auto sh = std::make_unique<FakeShell>();
    auto st = std::make_unique<FakeSettingsStore>();
    auto sy = std::make_unique<FakeSystem>();
    auto n = std::make_unique<FakeNotifier>();
    notifier = n.get();
    platform.notifier = std::move(n);
    messages = m.get();
    dialogs = d.get();
    shell = sh.get();
    settings = st.get();
    system = sy.get();
    platform.messages = std::move(m);
    platform.dialogs = std::move(d);
    platform.shell = std::move(sh);
    platform.settings = std::move(st);
    platform.system = std::move(sy);
    auto log = runners;
    platform.createRunner = [log]() -> std::unique_ptr<CommandRunner> {
        return std::make_unique<FakeRunner>(log);
    };
    platform.createTcpClient = [] {
        return std::make_unique<IdleTcpClient>();
    };
}
