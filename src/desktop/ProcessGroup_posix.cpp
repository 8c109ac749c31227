#include "ProcessGroup.h"

#include <QProcess>
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

void InOwnProcessGroup(QProcess& process)
{
    process.setChildProcessModifier([] {
        // A group of its own in the program's session, not a session of its own: should the program die
        // while the group is held (paused), the group is orphaned with stopped members, and the system
        // then wakes them with SIGHUP and SIGCONT, so the parent's death signal below reaches them.
        ::setpgid(0, 0);
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    });
}

void SignalProcessGroup(qint64 pid, bool ask)
{
    if (pid <= 0)
        return;
    ::kill(-static_cast<pid_t>(pid), ask ? SIGTERM : SIGKILL);
    // A paused group would not see the request before it goes on.
    if (ask)
        ::kill(-static_cast<pid_t>(pid), SIGCONT);
}

void PauseProcessGroup(qint64 pid, bool paused)
{
    if (pid <= 0)
        return;
    // The process itself too: paused right after its start, it may not have made its group yet.
    ::kill(-static_cast<pid_t>(pid), paused ? SIGSTOP : SIGCONT);
    ::kill(static_cast<pid_t>(pid), paused ? SIGSTOP : SIGCONT);
}
