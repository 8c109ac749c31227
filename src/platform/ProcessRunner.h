#pragma once

#include "ShellRpk.h"

#include <QProcess>
#include <QStringDecoder>

// Runs one command line as a process of its own process group, so Stop() ends the whole tree.
class ProcessRunner : public ShellRpk
{
    Q_OBJECT
public:
    explicit ProcessRunner(QString programFolder, QObject* parent = nullptr);
    ~ProcessRunner() override;

    std::optional<RunError> Run(const QString& cmd) override;
    void Stop() override;
    bool Succeeded() const override { return succeeded_; }

private:
    void readOutput();
    void onFinished(int exitCode, QProcess::ExitStatus status);
    void killGroup();

    QString programFolder_;
    QProcess process_;
    QStringDecoder decoder_ {QStringDecoder::Utf8};
    QString whole_;
    qint64 pid_ = 0;
    bool stopped_ = false;
    bool succeeded_ = false;
};
