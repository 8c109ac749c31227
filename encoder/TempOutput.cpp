#include "TempOutput.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

TempOutput::~TempOutput()
{
    Discard();
}

bool TempOutput::Create(const std::string& output, std::string& why)
{
    const auto slash = output.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : output.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? output : output.substr(slash + 1);
    // Keep the temporary name within the 255 bytes a file name may have.
    if (name.size() > 200)
        name.resize(200);
    std::string pattern = folder + "." + name + ".partial-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const int fd = ::mkstemp(buffer.data());
    if (fd < 0) {
        why = output + ": " + std::strerror(errno);
        return false;
    }
    // mkstemp makes the file private; the finished video gets the usual permissions.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    ::close(fd);
    path_ = buffer.data();
    output_ = output;
    return true;
}

bool TempOutput::Commit(std::string& why)
{
    if (::rename(path_.c_str(), output_.c_str()) != 0) {
        why = output_ + ": " + std::strerror(errno);
        return false;
    }
    path_.clear();
    return true;
}

void TempOutput::Discard()
{
    if (!path_.empty())
        ::unlink(path_.c_str());
    path_.clear();
}
