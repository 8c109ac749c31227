#include "ProcessGroup.h"

#include <QProcess>
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

void InOwnProcessGroup(QProcess& process)
{
    process.setChildProcessModifier([] {
        ::setsid();
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    });
}

void SignalProcessGroup(qint64 pid, bool ask)
{
    if (pid > 0)
        ::kill(-static_cast<pid_t>(pid), ask ? SIGTERM : SIGKILL);
}
