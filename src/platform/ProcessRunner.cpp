#include "ProcessRunner.h"

#include "CommandLine.h"

#include <QDir>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>
#endif

ProcessRunner::ProcessRunner(QString programFolder, QObject* parent)
    : ShellRpk(parent)
    , programFolder_(std::move(programFolder))
{
    process_.setProcessChannelMode(QProcess::MergedChannels);
#ifdef Q_OS_UNIX
    process_.setChildProcessModifier([] {
        // A group of its own lets Stop() reach everything the command starts; the death signal
        // ends the command when the program itself is killed.
        ::setsid();
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    });
#endif
    connect(&process_, &QProcess::started, this, [this] { pid_ = process_.processId(); });
    connect(&process_, &QProcess::readyRead, this, &ProcessRunner::readOutput);
    connect(&process_, &QProcess::finished, this, &ProcessRunner::onFinished);
    connect(&process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart && !stopped_)
            emit StartFailed({process_.errorString(), QStringLiteral("ShellRpk"), 53});
    });
}

ProcessRunner::~ProcessRunner()
{
    Stop();
}

std::optional<ShellRpk::RunError> ProcessRunner::Run(const QString& cmd)
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
    process_.setWorkingDirectory(programFolder_);
    process_.start(program, args, QIODevice::ReadOnly);
    return std::nullopt;
}

void ProcessRunner::killGroup()
{
#ifdef Q_OS_UNIX
    if (pid_ > 0)
        ::kill(-static_cast<pid_t>(pid_), SIGTERM);
    if (!process_.waitForFinished(1500) && pid_ > 0) {
        ::kill(-static_cast<pid_t>(pid_), SIGKILL);
        process_.waitForFinished(1000);
    }
#else
    process_.kill();
    process_.waitForFinished(1000);
#endif
}

void ProcessRunner::Stop()
{
    if (stopped_)
        return;
    stopped_ = true;
    process_.disconnect(this);
    if (process_.state() != QProcess::NotRunning)
        killGroup();
}

void ProcessRunner::readOutput()
{
    const QString piece = decoder_.decode(process_.readAll());
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
#ifdef Q_OS_UNIX
    // Whatever the command left behind in its group goes with it.
    if (pid_ > 0)
        ::kill(-static_cast<pid_t>(pid_), SIGKILL);
#endif
    emit Completed(whole_);
}
