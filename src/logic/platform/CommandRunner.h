#pragma once

#include <QMap>
#include <QObject>
#include <QString>
#include <optional>

// The process-runner contract: one object runs one command line. Output pieces and the single
// Completed event arrive on the UI thread, in order; after Stop() the object raises nothing more.
class CommandRunner : public QObject
{
    Q_OBJECT
public:
    struct RunError
    {
        QString description;
        QString source;
        int number = 0;
    };

    // Variables set for the command on top of the program's own environment.
    using Environment = QMap<QString, QString>;

    using QObject::QObject;
    ~CommandRunner() override = default;

    // Starts the command line and returns at once; an error when it cannot be started.
    virtual std::optional<RunError> Run(const QString& cmd, const Environment& environment = {}) = 0;
    virtual void Stop() = 0;
    // Holds the process and everything it started where they are, or lets them go on.
    virtual void Pause(bool paused) = 0;
    // True when the finished process exited normally with status 0.
    virtual bool Succeeded() const = 0;

signals:
    void Output(const QString& piece);
    void Completed(const QString& res);
    // The process could not be started after Run() had returned; no Completed follows.
    void StartFailed(const CommandRunner::RunError& error);
};
