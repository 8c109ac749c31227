#include "encoder/run/TempOutput.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

const char kPartial[] = ".partial-";

bool IsAlnum(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

} // namespace

std::string HostMark()
{
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0)
        name[0] = '\0';
    // FNV-1a: eight hex digits, whatever characters the host name has.
    unsigned hash = 2166136261u;
    for (const char* p = name; *p; ++p)
        hash = (hash ^ static_cast<unsigned char>(*p)) * 16777619u;
    char text[16];
    std::snprintf(text, sizeof text, "%08x", hash);
    return text;
}

std::optional<long> PartialOwner(const std::string& name, const std::string& host)
{
    // "." NAME ".partial-" HOST "-" PID "-" six letters or digits
    const size_t at = name.rfind(kPartial);
    if (name.empty() || name[0] != '.' || at == std::string::npos || at < 1)
        return std::nullopt;
    const std::string tail = name.substr(at + sizeof kPartial - 1);
    if (tail.size() < host.size() + 1 + 1 + 1 + 6 || tail.compare(0, host.size(), host) != 0
        || tail[host.size()] != '-')
        return std::nullopt;
    const std::string rest = tail.substr(host.size() + 1);
    const size_t dash = rest.find('-');
    if (dash == 0 || dash == std::string::npos || dash > 10 || rest.size() != dash + 1 + 6)
        return std::nullopt;
    long pid = 0;
    for (size_t i = 0; i < dash; ++i) {
        if (rest[i] < '0' || rest[i] > '9')
            return std::nullopt;
        pid = pid * 10 + (rest[i] - '0');
    }
    for (size_t i = dash + 1; i < rest.size(); ++i)
        if (!IsAlnum(rest[i]))
            return std::nullopt;
    if (pid <= 0)
        return std::nullopt;
    return pid;
}

int TempOutput::RemoveStale(const std::string& folder)
{
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return 0;
    const std::string host = HostMark();
    int removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        const auto pid = PartialOwner(name, host);
        if (!pid || *pid == ::getpid())
            continue;
        // Alive, or someone else's process (EPERM): not ours to judge.
        if (::kill(static_cast<pid_t>(*pid), 0) == 0 || errno != ESRCH)
            continue;
        const int fd = ::openat(::dirfd(dir), name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat info;
        // A lock still held means a writer we could not see by its pid.
        if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::getuid()
            && ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::unlinkat(::dirfd(dir), name.c_str(), 0) == 0)
            ++removed;
        ::close(fd);
    }
    ::closedir(dir);
    return removed;
}

TempOutput::~TempOutput()
{
    Discard();
}

Result<void> TempOutput::Create(const std::string& output)
{
    const auto slash = output.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : output.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? output : output.substr(slash + 1);
    // Keep the temporary name within the 255 bytes a file name may have.
    if (name.size() > 180)
        name.resize(180);
    std::string pattern = folder + "." + name + kPartial + HostMark() + "-" + std::to_string(::getpid()) + "-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    // Kept open, and locked, until the file is committed or discarded; ffmpeg does not inherit it.
    const int fd = ::mkostemp(buffer.data(), O_CLOEXEC);
    if (fd < 0)
        return Failure {output + ": " + std::strerror(errno)};
    ::flock(fd, LOCK_EX | LOCK_NB);
    // mkstemp makes the file private; the finished video gets the usual permissions.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    lock_ = fd;
    path_ = buffer.data();
    output_ = output;
    return {};
}

int MoveWithoutReplacing(const std::string& from, const std::string& to, NoReplaceWay first)
{
    // What a file system says when it does not know a way: try the next one.
    const auto unsupported = [](int error) {
        return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP || error == ENOTSUP || error == EPERM;
    };
    if (first == NoReplaceWay::Rename) {
        if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
            return 0;
        if (!unsupported(errno))
            return errno;
    }
    if (first != NoReplaceWay::Check) {
        // link() never replaces: EEXIST when the name is taken.
        if (::link(from.c_str(), to.c_str()) == 0) {
            ::unlink(from.c_str());
            return 0;
        }
        if (!unsupported(errno) && errno != EMLINK)
            return errno;
    }
    struct stat info;
    if (::lstat(to.c_str(), &info) == 0)
        return EEXIST;
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

Result<TempOutput::Committed> TempOutput::Commit(bool mayReplace)
{
    const int error = mayReplace ? (::rename(path_.c_str(), output_.c_str()) == 0 ? 0 : errno)
                                 : MoveWithoutReplacing(path_, output_);
    if (error == EEXIST && !mayReplace)
        return Committed::NameTaken;
    if (error != 0)
        return Failure {output_ + ": " + std::strerror(error)};
    path_.clear();
    Release();
    return Committed::Done;
}

void TempOutput::Discard()
{
    if (!path_.empty())
        ::unlink(path_.c_str());
    path_.clear();
    Release();
}

void TempOutput::Release()
{
    if (lock_ >= 0)
        ::close(lock_);
    lock_ = -1;
}
