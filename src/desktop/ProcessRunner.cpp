#include "ProcessRunner.h"

#include "ProcessGroup.h"
#include "platform/CommandLine.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>

namespace {
constexpr int StopGraceMs = 2000;
// Stopped processes that have not ended yet.
int endingProcesses = 0;
} // namespace

ProcessRunner::ProcessRunner(QString programFolder, QObject* parent)
    : CommandRunner(parent)
    , programFolder_(std::move(programFolder))
    , process_(new QProcess)
{
    process_->setProcessChannelMode(QProcess::MergedChannels);
    InOwnProcessGroup(*process_);
    connect(process_, &QProcess::readyRead, this, &ProcessRunner::readOutput);
    connect(process_, &QProcess::finished, this, &ProcessRunner::onFinished);
    connect(process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart && !stopped_)
            emit StartFailed({process_->errorString(), QStringLiteral("ShellRpk"), 53});
    });
}

ProcessRunner::~ProcessRunner()
{
    Stop();
}

std::optional<CommandRunner::RunError> ProcessRunner::Run(const QString& cmd, const Environment& environment)
{
    QStringList args = SplitCommandLine(cmd);
    if (args.isEmpty())
        return RunError {QStringLiteral("Invalid procedure call or argument"), QStringLiteral("ShellRpk"), 5};
    QString program = args.takeFirst();
    // A bare program name means the program folder, never a search of PATH.
    if (!program.contains(QLatin1Char('/')) && !program.contains(QLatin1Char('\\')))
        program = QDir(programFolder_).filePath(program);
    const QFileInfo info(program);
    if (!info.isFile() || !info.isExecutable())
        return RunError {QStringLiteral("File not found: ") + program, QStringLiteral("ShellRpk"), 53};
    process_->setWorkingDirectory(programFolder_);
    if (!environment.isEmpty()) {
        QProcessEnvironment variables = QProcessEnvironment::systemEnvironment();
        for (auto it = environment.cbegin(); it != environment.cend(); ++it)
            variables.insert(it.key(), it.value());
        process_->setProcessEnvironment(variables);
    }
    process_->start(program, args, QIODevice::ReadOnly);
    pid_ = process_->processId();
    return std::nullopt;
}

void ProcessRunner::Stop()
{
    if (stopped_) {
        if (process_ && process_->state() == QProcess::NotRunning) {
            delete process_;
            process_ = nullptr;
        }
        return;
    }
    stopped_ = true;
    process_->disconnect(this);
    EndProcessGroup(process_, pid_, StopGraceMs);
    process_ = nullptr;
}

void ProcessRunner::Pause(bool paused)
{
    if (!stopped_)
        PauseProcessGroup(pid_, paused);
}

void ProcessRunner::readOutput()
{
    const QString piece = decoder_.decode(process_->readAll());
    if (piece.isEmpty())
        return;
    whole_ += piece;
    emit Output(piece);
}

void ProcessRunner::onFinished(int exitCode, QProcess::ExitStatus status)
{
    readOutput();
    succeeded_ = status == QProcess::NormalExit && exitCode == 0;
    stopped_ = true;
    // Whatever the command left behind in its group goes with it.
    SignalProcessGroup(pid_, false);
    emit Completed(whole_);
}

void EndProcessGroup(QProcess* process, qint64 pid, int graceMs)
{
    if (process->state() == QProcess::NotRunning) {
        SignalProcessGroup(pid, false);
        delete process;
        return;
    }
    // The process itself is signalled too: stopped right after its start, it may not have made its group yet.
    process->terminate();
    SignalProcessGroup(pid, true);
    ++endingProcesses;
    QObject::connect(process, &QObject::destroyed, [] { --endingProcesses; });
    QObject::connect(process, &QProcess::finished, process, [process, pid] {
        SignalProcessGroup(pid, false);
        process->deleteLater();
    });
    const auto kill = [process, pid] {
        if (process->state() != QProcess::NotRunning)
            process->kill();
        SignalProcessGroup(pid, false);
    };
    QTimer::singleShot(graceMs, process, kill);
    if (QCoreApplication::instance())
        QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, process, kill);
}

void WaitForStoppedProcesses()
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&loop] {
        if (endingProcesses == 0)
            loop.quit();
    });
    poll.start(10);
    if (endingProcesses > 0)
        loop.exec();
}
