#include "Terminal.h"

#include <QTextStream>
#include <cstdio>
#include <io.h>

// The console's own events (Ctrl+C) are not forwarded here yet: without them a run ends as the console
// ends it.

bool Terminal::InputIsTerminal()
{
    return _isatty(_fileno(stdin)) != 0;
}

bool Terminal::OutputIsTerminal()
{
    return _isatty(_fileno(stdout)) != 0;
}

int Terminal::OutputColumns()
{
    return 80;
}

std::optional<QString> Terminal::ReadLine()
{
    QTextStream in(stdin);
    QString line = in.readLine();
    if (line.isNull())
        return std::nullopt;
    return line.trimmed();
}

TerminationRequests::TerminationRequests(QObject* parent)
    : QObject(parent)
{
}

TerminationRequests::~TerminationRequests() = default;

void TerminationRequests::takeRequests() { }

// A console on Windows has no job control to stop a program.
StopRequests::StopRequests(QObject* parent)
    : QObject(parent)
{
}

StopRequests::~StopRequests() = default;

void StopRequests::StopProgram() { }

void StopRequests::takeRequests() { }
