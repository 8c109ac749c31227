#include "encoder/run/EncoderRun.h"

#include "encoder/run/FfmpegLog.h"
#include "encoder/run/MessageFilter.h"
#include "encoder/run/Progress.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/signalfd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

sigset_t StopSignals()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGHUP);
    return set;
}

double Now()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

std::string RealPath(const std::string& path)
{
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) ? std::string(resolved) : std::string();
}

// Child side of the fork: only async-signal-safe calls until exec.
[[noreturn]] void StartChild(const std::string& program, char* const argv[], int outWrite, int progressWrite,
                             pid_t bridge)
{
    const sigset_t none = [] {
        sigset_t set;
        sigemptyset(&set);
        return set;
    }();
    sigprocmask(SIG_SETMASK, &none, nullptr);
    signal(SIGPIPE, SIG_DFL);
    // ffmpeg must not outlive the bridge, however the bridge ends.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != bridge)
        _exit(127);
    const int null = open("/dev/null", O_RDONLY);
    dup2(null, STDIN_FILENO);
    dup2(outWrite, STDOUT_FILENO);
    dup2(outWrite, STDERR_FILENO);
    dup2(progressWrite, 3);
    execv(program.c_str(), argv);
    const char message[] = "ffmpeg.exe: cannot start the ffmpeg program\n";
    ssize_t ignored = write(STDERR_FILENO, message, sizeof message - 1);
    (void)ignored;
    _exit(127);
}

ssize_t ReadSome(int fd, char* buffer, size_t size)
{
    ssize_t n;
    do {
        n = ::read(fd, buffer, size);
    } while (n < 0 && errno == EINTR);
    return n;
}

} // namespace

SignalWatch::SignalWatch(int parentAtStart)
{
    const sigset_t set = StopSignals();
    sigprocmask(SIG_BLOCK, &set, nullptr);
    fd_ = signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
    signal(SIGPIPE, SIG_IGN); // a reader that went away must not kill the clean-up
    // The parent's death arrives as SIGTERM, through the same path as a stop request.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parentAtStart)
        raise(SIGTERM);
}

SignalWatch::~SignalWatch()
{
    if (fd_ >= 0)
        ::close(fd_);
}

int SignalWatch::Take()
{
    signalfd_siginfo info {};
    while (received_ == 0 && ::read(fd_, &info, sizeof info) == static_cast<ssize_t>(sizeof info))
        received_ = static_cast<int>(info.ssi_signo);
    return received_;
}

std::optional<std::string> FindFfmpeg()
{
    const char* env = std::getenv("PATH");
    const std::string path = env ? env : "/usr/local/bin:/usr/bin:/bin";
    const std::string self = RealPath("/proc/self/exe");
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find(':', start);
        if (end == std::string::npos)
            end = path.size();
        const std::string folder = end == start ? "." : path.substr(start, end - start);
        const std::string candidate = folder + "/ffmpeg";
        struct stat info;
        if (::stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(candidate.c_str(), X_OK) == 0
            && RealPath(candidate) != self)
            return candidate;
        start = end + 1;
    }
    return std::nullopt;
}

RunOutcome RunEncoder(const std::string& program, const std::vector<std::string>& args, SignalWatch& signals,
                      Console& console)
{
    RunOutcome outcome;
    std::vector<std::string> words {"ffmpeg"};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    int out[2];
    int progress[2];
    if (pipe2(out, O_CLOEXEC) != 0 || pipe2(progress, O_CLOEXEC) != 0) {
        console.Message(std::string("ffmpeg.exe: ") + std::strerror(errno) + "\n");
        return outcome;
    }
    const pid_t bridge = getpid();
    const pid_t child = fork();
    if (child == 0)
        StartChild(program, argv.data(), out[1], progress[1], bridge);
    ::close(out[1]);
    ::close(progress[1]);
    if (child < 0) {
        console.Message(std::string("ffmpeg.exe: cannot start ffmpeg: ") + std::strerror(errno) + "\n");
        ::close(out[0]);
        ::close(progress[0]);
        return outcome;
    }
    outcome.started = true;

    FfmpegLog log;
    MessageFilter messages;
    ProgressReader reader;
    ProgressFigures figures;
    double lastReport = Now();
    bool outOpen = true;
    bool progressOpen = true;
    char buffer[65536];
    while (outOpen || progressOpen) {
        pollfd fds[3] = {{signals.fd(), POLLIN, 0},
                         {outOpen ? out[0] : -1, POLLIN, 0},
                         {progressOpen ? progress[0] : -1, POLLIN, 0}};
        const int ready = poll(fds, 3, 100);
        if (ready < 0 && errno != EINTR)
            break;
        if (signals.Take() != 0) {
            ::kill(child, SIGKILL);
            outcome.stoppedBy = signals.Take();
            break;
        }
        if (outOpen && (fds[1].revents & (POLLIN | POLLHUP | POLLERR))) {
            const ssize_t n = ReadSome(out[0], buffer, sizeof buffer);
            if (n > 0)
                console.Message(messages.Feed(log.Feed(std::string_view(buffer, static_cast<size_t>(n)))));
            else
                outOpen = false;
        }
        if (progressOpen && (fds[2].revents & (POLLIN | POLLHUP | POLLERR))) {
            const ssize_t n = ReadSome(progress[0], buffer, sizeof buffer);
            if (n > 0) {
                for (const ProgressFigures& block : reader.Feed(std::string_view(buffer, static_cast<size_t>(n)))) {
                    figures = block;
                    console.Report(FormatReport(figures));
                    lastReport = Now();
                }
            } else {
                progressOpen = false;
            }
        }
        // Keep reporting while ffmpeg is busy without figures (starting up, moving the index to the front).
        if (Now() - lastReport >= 0.45 && !figures.end) {
            console.Report(FormatReport(figures));
            lastReport = Now();
        }
    }
    ::close(out[0]);
    ::close(progress[0]);

    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) { }
    if (outcome.stoppedBy == 0) {
        console.Message(messages.Feed(log.Finish()) + messages.Finish());
        outcome.declaredSeconds = log.declaredSeconds();
        outcome.errors = log.errors();
        if (!figures.end)
            console.Report(FormatReport(figures));
        console.EndReports();
        outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    return outcome;
}
