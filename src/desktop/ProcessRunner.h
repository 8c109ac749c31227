#pragma once

#include "platform/CommandRunner.h"

#include <QProcess>
#include <QStringDecoder>

// Runs one command line as a process of its own process group, so Stop() ends the whole tree.
class ProcessRunner : public CommandRunner
{
    Q_OBJECT
public:
    explicit ProcessRunner(QString programFolder, QObject* parent = nullptr);
    ~ProcessRunner() override;

    std::optional<RunError> Run(const QString& cmd, const Environment& environment = {}) override;
    // Asks the process and everything it started to end, and returns at once; what has not ended after
    // a grace period is killed.
    void Stop() override;
    void Pause(bool paused) override;
    bool Succeeded() const override { return succeeded_; }

private:
    void readOutput();
    void onFinished(int exitCode, QProcess::ExitStatus status);

    QString programFolder_;
    // Outlives this object while a stopped process is still ending.
    QProcess* process_;
    QStringDecoder decoder_ {QStringDecoder::Utf8};
    QString whole_;
    qint64 pid_ = 0; // known as soon as the start has returned
    bool stopped_ = false;
    bool succeeded_ = false;
};

// Ends a stopped process and its group: asked first, killed after `graceMs`, and killed at once when the
// program quits. Never blocks.
void EndProcessGroup(QProcess* process, qint64 pid, int graceMs);
// Runs the event loop until every stopped process has ended, so they can remove what they leave unfinished
// before the program does.
void WaitForStoppedProcesses();
