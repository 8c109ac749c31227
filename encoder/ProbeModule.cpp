// The bridge's probe as a module of its own, loaded by ffmpeg.exe only for a probe, or in a short-lived child
// before an encode: the encoding bridge itself never pays for loading the FFmpeg libraries.
#include "Describe.h"
#include "Probe.h"

#include <cerrno>
#include <unistd.h>

extern "C" __attribute__((visibility("default"))) int ReelpocketRunProbe(const char* shownName, const char* path)
{
    return RunProbe(shownName, path);
}

// Writes the source's facts to `fd`; returns 0 when they were all written.
extern "C" __attribute__((visibility("default"))) int ReelpocketDescribeSource(const char* path, const char* subtitles,
                                                                               int fd)
{
    const std::string text = DescribeSource(path, subtitles);
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return 1;
        done += static_cast<size_t>(n);
    }
    return 0;
}
