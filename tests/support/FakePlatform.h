#pragma once

#include "platform/Platform.h"

#include <QByteArray>
#include <QMap>
#include <QStringList>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

// Message boxes that record every text and answer Yes/No questions from a script.
class FakeMessageBoxes : public MessageBoxes
{
public:
    void showOk(const QString& text) override { shown << text; }
    bool askYesNo(const QString& text) override
    {
        asked << text;
        if (answers.empty())
            return false;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    QStringList shown;
    QStringList asked;
    std::deque<bool> answers; // false (No) when the script runs out
};

class FakeFileDialogs : public FileDialogs
{
public:
    QStringList openSources(const QString& folder) override
    {
        ++opened;
        sourceFolders << folder;
        return sourceResult;
    }
    std::optional<QString> chooseFolder(const QString& initial) override
    {
        folderInitial << initial;
        return folderResult;
    }
    QStringList sourceResult; // empty: cancelled
    std::optional<QString> folderResult;
    int opened = 0;
    QStringList sourceFolders;
    QStringList folderInitial;
};

class FakeShell : public Shell
{
public:
    int openUrl(const QString& url, int showCommand) override
    {
        urls << url;
        showCommands << showCommand;
        return 42;
    }
    void startCommand(const QString& commandLine, WindowStyle style) override
    {
        commands << commandLine;
        styles << style;
    }
    QStringList urls;
    QList<int> showCommands;
    QStringList commands;
    QList<WindowStyle> styles;
};

// An in-memory store with the case-insensitive keys of the real one; records every write.
class FakeSettingsStore : public SettingsStore
{
public:
    QString read(const QString& app, const QString& section, const QString& key) override
    {
        return values.value(app + QLatin1Char('/') + section + QLatin1Char('/') + key.toLower());
    }
    void write(const QString& app, const QString& section, const QString& key, const QString& value) override
    {
        writes << key;
        values[app + QLatin1Char('/') + section + QLatin1Char('/') + key.toLower()] = value;
    }
    // Sets a value under application "Reelpocket", section "Config".
    void set(const QString& key, const QString& value)
    {
        write(QStringLiteral("Reelpocket"), QStringLiteral("Config"), key, value), writes.clear();
    }
    QString get(const QString& key) { return read(QStringLiteral("Reelpocket"), QStringLiteral("Config"), key); }
    QMap<QString, QString> values;
    QStringList writes;
};

class FakeNotifier : public Notifier
{
public:
    void notify(const QString& text, const QString& actionText, const QString& folder) override
    {
        notes << text + QStringLiteral(" [") + actionText + QStringLiteral(": ") + folder + QLatin1Char(']');
    }
    QStringList notes;
};

class FakeSystem : public SystemFacts
{
public:
    QString programFolder() override { return folder; }
    QString workingFolder() override { return working.isEmpty() ? folder : working; }
    QString defaultDestination() override { return destination.isEmpty() ? folder + "/iPhoneMovies/" : destination; }
    std::optional<qint64> freeBytes(const QString&) override { return free; }
    void changeWorkingDirectory(const QString& dir) override { workingDirectory = dir; }
    QString systemLanguageName() override { return languageName; }
    QString systemFolder() override { return systemDir; }
    QChar decimalSeparator() override { return separator; }
    bool componentsNeedRegistration() override { return needRegistration; }
    std::optional<int> registerLibrary(const QString& path) override
    {
        registered << path;
        return registerResult;
    }
    // Ends every pause at once, unless pauses are held for the test to end them.
    void pause(int milliseconds, std::function<void()> then) override
    {
        pauses << milliseconds;
        if (holdPauses)
            heldPauses.push_back(std::move(then));
        else
            then();
    }

    QString folder;
    QString working; // empty: the program folder
    QString destination; // empty: iPhoneMovies in the program folder
    std::optional<qint64> free = qint64(1) << 50;
    QString workingDirectory;
    QString languageName = QStringLiteral("English (United States)");
    QString systemDir;
    QChar separator = QLatin1Char('.');
    bool needRegistration = false;
    std::optional<int> registerResult = 0;
    QStringList registered;
    QList<int> pauses;
    bool holdPauses = false;
    std::vector<std::function<void()>> heldPauses;
};

// A runner whose process the test ends by hand: finish() raises Completed with the given output.
// Sleep locks counted while they live; actions recorded and answered as scripted.
class FakePower : public Power
{
public:
    struct Lock : SleepLock
    {
        explicit Lock(int& live)
            : live_(live)
        {
            ++live_;
        }
        ~Lock() override { --live_; }
        int& live_;
    };
    std::unique_ptr<SleepLock> KeepAwake(const QString& who, const QString& why) override
    {
        reasons << who + QStringLiteral(": ") + why;
        return std::make_unique<Lock>(live);
    }
    std::optional<QString> Perform(PowerAction action) override
    {
        actions << action;
        return refusal;
    }
    int live = 0;
    QStringList reasons;
    QList<PowerAction> actions;
    std::optional<QString> refusal;
};

struct RunnerLog;

class FakeRunner : public CommandRunner
{
    Q_OBJECT
public:
    explicit FakeRunner(std::shared_ptr<RunnerLog> log)
        : log_(std::move(log))
    {
    }
    std::optional<RunError> Run(const QString& cmd, const Environment& environment = {}) override;
    void Stop() override;
    void Pause(bool p) override { paused = p; }
    bool Succeeded() const override { return succeeded; }

    void output(const QString& piece) { emit Output(piece); }
    void finish(const QString& res, bool ok = true)
    {
        succeeded = ok;
        emit Completed(res);
    }
    // The process could not be started after all: no completion follows.
    void failToStart(const RunError& error) { emit StartFailed(error); }

    QString command;
    Environment environment;
    bool stopped = false;
    bool paused = false;
    bool succeeded = false;
    std::optional<RunError> runError;

private:
    std::shared_ptr<RunnerLog> log_;
};

// What every runner the window created was asked to do, in order.
struct RunnerLog
{
    QStringList commands;
    QList<CommandRunner::Environment> environments; // of each command
    int stops = 0;
    // The next runner's Run() fails with this error.
    std::optional<CommandRunner::RunError> nextRunError;
};

// The runner that was started last, while it has not been stopped or released; nullptr otherwise. The
// test raises its events as the process would.
FakeRunner* CurrentRunner();

// A platform made of fakes; the pointers stay valid as long as the Platform lives.
struct FakePlatform
{
    FakePlatform();
    Platform platform;
    FakeMessageBoxes* messages;
    FakeFileDialogs* dialogs;
    FakeShell* shell;
    FakeSettingsStore* settings;
    FakeSystem* system;
    FakeNotifier* notifier;
    std::shared_ptr<RunnerLog> runners = std::make_shared<RunnerLog>();
    // The window gets real processes and real sockets instead of fakes (window tests only).
    void useRealRunner();
    void useRealTcp();
};
