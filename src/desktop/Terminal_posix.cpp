#include "Terminal.h"

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <string>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int requestPipe[2] = {-1, -1};
int stopPipe[2] = {-1, -1};
// Stop requests not yet acted on: whoever takes one (the event loop, or a question's wait) acts on it.
volatile sig_atomic_t pendingStops = 0;

void OnStop(int)
{
    pendingStops = 1;
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(stopPipe[0], &byte, 1);
}

bool TakeStop()
{
    const bool pending = pendingStops != 0;
    pendingStops = 0;
    return pending;
}

void OnRequest(int signalNumber)
{
    const char byte = static_cast<char>(signalNumber);
    [[maybe_unused]] const auto written = ::write(requestPipe[0], &byte, 1);
}

void Handle(int signalNumber, void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a wait for the user's answer ends when the run is interrupted.
    action.sa_flags = 0;
    sigaction(signalNumber, &action, nullptr);
}
} // namespace

bool Terminal::InputIsTerminal()
{
    return ::isatty(STDIN_FILENO) == 1;
}

bool Terminal::OutputIsTerminal()
{
    return ::isatty(STDOUT_FILENO) == 1;
}

int Terminal::OutputColumns()
{
    winsize size = {};
    if (::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return 80;
}

std::optional<QString> Terminal::ReadLine()
{
    std::string line;
    for (;;) {
        char c = 0;
        const auto n = ::read(STDIN_FILENO, &c, 1);
        if (n < 0 && errno == EINTR) {
            if (TakeStop()) {
                StopRequests::StopProgram();
                continue;
            }
            return std::nullopt;
        }
        if (n <= 0)
            return line.empty() ? std::nullopt : std::optional<QString>(QString::fromLocal8Bit(line));
        if (c == '\n')
            return QString::fromLocal8Bit(line).trimmed();
        line += c;
    }
}

StopRequests::StopRequests(QObject* parent)
    : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, stopPipe) != 0)
        return;
    notifier_ = new QSocketNotifier(stopPipe[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &StopRequests::takeRequests);
    Handle(SIGTSTP, OnStop);
}

StopRequests::~StopRequests()
{
    Handle(SIGTSTP, SIG_DFL);
}

void StopRequests::StopProgram()
{
    Handle(SIGTSTP, SIG_DFL);
    // Returns once continued. A program nobody could continue (its group orphaned) is not stopped.
    ::raise(SIGTSTP);
    Handle(SIGTSTP, OnStop);
}

void StopRequests::takeRequests()
{
    char byte = 0;
    if (::read(stopPipe[1], &byte, 1) == 1 && TakeStop())
        emit requested();
}

TerminationRequests::TerminationRequests(QObject* parent)
    : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, requestPipe) != 0)
        return;
    notifier_ = new QSocketNotifier(requestPipe[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationRequests::takeRequests);
    Handle(SIGINT, OnRequest);
    Handle(SIGTERM, OnRequest);
}

TerminationRequests::~TerminationRequests()
{
    Handle(SIGINT, SIG_DFL);
    Handle(SIGTERM, SIG_DFL);
}

void TerminationRequests::takeRequests()
{
    char byte = 0;
    if (::read(requestPipe[1], &byte, 1) == 1)
        emit requested(byte);
}
