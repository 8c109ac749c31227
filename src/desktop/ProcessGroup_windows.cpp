#include "ProcessGroup.h"

#include <QProcess>

void InOwnProcessGroup(QProcess&) { }

// Windows has no process groups to signal; the process itself is ended through QProcess.
void SignalProcessGroup(qint64, bool) { }

// Nor a signal that holds a process: a pause there leaves the encoder running.
void PauseProcessGroup(qint64, bool) { }
