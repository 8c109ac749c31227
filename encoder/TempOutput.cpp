#include "TempOutput.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
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
        struct stat info;
        if (::fstatat(::dirfd(dir), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode)
            || info.st_uid != ::getuid())
            continue;
        if (::unlinkat(::dirfd(dir), name.c_str(), 0) == 0)
            ++removed;
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
    const int fd = ::mkstemp(buffer.data());
    if (fd < 0)
        return Failure {output + ": " + std::strerror(errno)};
    // mkstemp makes the file private; the finished video gets the usual permissions.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    ::close(fd);
    path_ = buffer.data();
    output_ = output;
    return {};
}

Result<void> TempOutput::Commit()
{
    if (::rename(path_.c_str(), output_.c_str()) != 0)
        return Failure {output_ + ": " + std::strerror(errno)};
    path_.clear();
    return {};
}

void TempOutput::Discard()
{
    if (!path_.empty())
        ::unlink(path_.c_str());
    path_.clear();
}
