#pragma once

#include <QObject>
#include <QString>
#include <optional>

// The terminal a command-line run talks to, if any.
namespace Terminal {
// Whether standard input / standard output / standard error is a terminal.
bool InputIsTerminal();
bool OutputIsTerminal();
// Columns of the terminal on standard output; 80 when unknown.
int OutputColumns();
// One line typed on standard input, without its line end; nullopt at the end of input or when a
// termination request interrupts the wait.
std::optional<QString> ReadLine();
} // namespace Terminal

// Turns Ctrl+Z (SIGTSTP) into a signal of the event loop, so a run can hold what it runs before it stops.
// A question waiting for its answer stops at once and goes on waiting once continued.
class StopRequests : public QObject
{
    Q_OBJECT
public:
    explicit StopRequests(QObject* parent = nullptr);
    ~StopRequests() override;
    // Stops the program as Ctrl+Z would have, and returns once it is continued (fg, bg, SIGCONT).
    static void StopProgram();

signals:
    void requested();

private:
    void takeRequests();
    class QSocketNotifier* notifier_ = nullptr;
};

// Turns SIGINT and SIGTERM into a signal of the event loop. Before it exists, the signals end the program
// as usual.
class TerminationRequests : public QObject
{
    Q_OBJECT
public:
    explicit TerminationRequests(QObject* parent = nullptr);
    ~TerminationRequests() override;

signals:
    // Once per request; `signalNumber` is the one received.
    void requested(int signalNumber);

private:
    void takeRequests();
    class QSocketNotifier* notifier_ = nullptr;
};
