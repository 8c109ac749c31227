// The bridge's probe as a module of its own, loaded by ffmpeg.exe only for a probe, or in a short-lived child
// before an encode: the encoding bridge itself never pays for loading the FFmpeg libraries.
#include "encoder/common/FileIo.h"
#include "encoder/probe/Describe.h"
#include "encoder/probe/Probe.h"

extern "C" __attribute__((visibility("default"))) int ReelpocketRunProbe(const char* shownName, const char* path)
{
    return RunProbe(shownName, path);
}

// Writes the source's facts to `fd`; returns 0 when they were all written.
extern "C" __attribute__((visibility("default"))) int ReelpocketDescribeSource(const char* path, const char* subtitles,
                                                                               int fd)
{
    return WriteAll(fd, DescribeSource(path, subtitles)) ? 0 : 1;
}
