#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

#include "CommandRunner.h"
#include "Power.h"

// The outside world as the program sees it. Logic calls only these interfaces; the Qt
// implementations live in this folder, and tests substitute fakes that script answers.

class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;
    // An OK box with the application's title.
    virtual void showOk(const QString& text) = 0;
    // A Yes/No question with the application's title; true for Yes.
    virtual bool askYesNo(const QString& text) = 0;
};

class FileDialogs
{
public:
    virtual ~FileDialogs() = default;
    // Multi-select open dialog starting in `folder` (the system's choice when empty): the full paths of
    // the chosen files in the order the dialog gives them; none when cancelled.
    virtual QStringList openSources(const QString& folder) = 0;
    // Folder chooser starting at `initial`; nullopt when cancelled. The result has no trailing separator
    // unless it is a root.
    virtual std::optional<QString> chooseFolder(const QString& initial) = 0;
};

enum class WindowStyle { Hidden, NormalNoFocus };

class Shell
{
public:
    virtual ~Shell() = default;
    // The desktop's "open" verb on a URL; returns the shell's result value.
    virtual int openUrl(const QString& url, int showCommand) = 0;
    // Starts a command line and does not wait for it.
    virtual void startCommand(const QString& commandLine, WindowStyle style) = 0;
};

class SettingsStore
{
public:
    virtual ~SettingsStore() = default;
    // Keys are matched without regard to letter case; a missing key reads as "".
    virtual QString read(const QString& app, const QString& section, const QString& key) = 0;
    virtual void write(const QString& app, const QString& section, const QString& key, const QString& value) = 0;
};

class TcpClient : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    virtual bool isClosed() const = 0;
    // Drops any connection or attempt; no further events come from it.
    virtual void close() = 0;
    virtual void connectTo(const QString& host, int port) = 0;
    virtual void send(const QByteArray& bytes) = 0;
    // Everything received and not yet taken.
    virtual QByteArray takeData() = 0;

signals:
    void connected();
    void dataReceived();
    void error();
};

class SystemFacts
{
public:
    virtual ~SystemFacts() = default;
    // The folder holding the program, without a trailing separator (except at a root).
    virtual QString programFolder() = 0;
    // Where the program writes its working files (the subtitle scripts): a folder of the user's own that
    // nobody else can enter, never the program folder. No trailing separator.
    virtual QString workingFolder() = 0;
    // The first-start destination, with its trailing separator: "iPhoneMovies" in the program folder when
    // the user can write there, else in the user's Videos folder.
    virtual QString defaultDestination() = 0;
    // Bytes free for the user in the folder's file system; nullopt when unknown.
    virtual std::optional<qint64> freeBytes(const QString& folder) = 0;
    virtual void changeWorkingDirectory(const QString& folder) = 0;
    // Display name of the user's language, e.g. "Français (France)" or "Dutch".
    virtual QString systemLanguageName() = 0;
    // The operating system's system folder; "" where there is none.
    virtual QString systemFolder() = 0;
    // The user's decimal separator.
    virtual QChar decimalSeparator() = 0;
    // Whether the desktop components must be registered at start-up (Windows only).
    virtual bool componentsNeedRegistration() = 0;
    // Calls DllRegisterServer of a library: nullopt when it cannot be loaded or called, else its result.
    virtual std::optional<int> registerLibrary(const QString& path) = 0;
    // Waits `milliseconds` without blocking the event loop, then calls `then`.
    virtual void pause(int milliseconds, std::function<void()> then) = 0;
};

// Desktop notifications. Shown only while the program's window is not the active one; without a
// notification service nothing happens.
class Notifier
{
public:
    virtual ~Notifier() = default;
    // `actionText` names an action that opens `folder`, offered where the service has actions.
    virtual void notify(const QString& text, const QString& actionText, const QString& folder) = 0;
};

// One object holding every service, handed to the main window at construction.
struct Platform
{
    std::unique_ptr<MessageBoxes> messages;
    std::unique_ptr<FileDialogs> dialogs;
    std::unique_ptr<Shell> shell;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<SystemFacts> system;
    std::unique_ptr<Notifier> notifier;
    // Sleep locks and the actions after a batch; none where the system offers neither.
    std::unique_ptr<Power> power;
    std::function<std::unique_ptr<CommandRunner>()> createRunner;
    std::function<std::unique_ptr<TcpClient>()> createTcpClient;
};
