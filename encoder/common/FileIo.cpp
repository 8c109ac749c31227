#include "encoder/common/FileIo.h"

#include <cerrno>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

// Repeats `step(done)` (the count it moved, or -1) until `count` bytes are moved, going on after
// interruptions and short transfers; returns how many were moved before an error or the end of the file.
template <typename Step> size_t MoveAll(size_t count, Step step)
{
    size_t done = 0;
    while (done < count) {
        const ssize_t n = step(done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<size_t>(n);
    }
    return done;
}

} // namespace

bool WriteAll(int fd, std::string_view text)
{
    return MoveAll(text.size(), [&](size_t done) { return ::write(fd, text.data() + done, text.size() - done); })
        == text.size();
}

bool WriteAllAt(int fd, uint64_t offset, std::string_view bytes)
{
    return MoveAll(bytes.size(),
                   [&](size_t done) {
                       return ::pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(offset + done));
                   })
        == bytes.size();
}

size_t ReadAt(int fd, uint64_t offset, void* into, size_t count)
{
    auto* bytes = static_cast<char*>(into);
    return MoveAll(
        count, [&](size_t done) { return ::pread(fd, bytes + done, count - done, static_cast<off_t>(offset + done)); });
}

std::optional<std::string> ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}
