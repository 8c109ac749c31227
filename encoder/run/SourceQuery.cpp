#include "encoder/run/SourceQuery.h"

#include "encoder/probe/ProbeStart.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

[[noreturn]] void DescribeInChild(const std::string& source, const std::string& subtitles, int fd, pid_t bridge)
{
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != bridge)
        _exit(1);
    using Entry = int (*)(const char*, const char*, int);
    const auto entry = ProbeModuleEntry("ReelpocketDescribeSource");
    _exit(entry && reinterpret_cast<Entry>(*entry)(source.c_str(), subtitles.c_str(), fd) == 0 ? 0 : 1);
}

} // namespace

SourceQuery QuerySource(const std::string& source, const std::string& subtitles, SignalWatch& signals)
{
    SourceQuery query;
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0)
        return query;
    const pid_t bridge = getpid();
    const pid_t child = fork();
    if (child == 0) {
        ::close(out[0]);
        DescribeInChild(source, subtitles, out[1], bridge);
    }
    ::close(out[1]);
    if (child < 0) {
        ::close(out[0]);
        return query;
    }
    std::string text;
    char buffer[4096];
    for (;;) {
        pollfd fds[2] = {{signals.fd(), POLLIN, 0}, {out[0], POLLIN, 0}};
        if (poll(fds, 2, -1) < 0 && errno != EINTR)
            break;
        if (signals.Take() != 0) {
            ::kill(child, SIGKILL);
            query.stoppedBy = signals.Take();
            break;
        }
        if (fds[1].revents & (POLLIN | POLLHUP | POLLERR)) {
            const ssize_t n = ::read(out[0], buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            text.append(buffer, static_cast<size_t>(n));
        }
    }
    ::close(out[0]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) { }
    if (query.stoppedBy == 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0)
        query.facts = ParseSourceFacts(text);
    return query;
}
