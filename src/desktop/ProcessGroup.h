#pragma once

#include <QtGlobal>

class QProcess;

// The process starts a group of its own, so everything it starts can be ended together, and it is
// ended when the program dies.
void InOwnProcessGroup(QProcess& process);
// Signals the group the process `pid` made; `ask` asks it to end (SIGTERM), else it is killed.
void SignalProcessGroup(qint64 pid, bool ask);
// Holds the group of `pid` where it is (SIGSTOP), or lets it go on (SIGCONT).
void PauseProcessGroup(qint64 pid, bool paused);
