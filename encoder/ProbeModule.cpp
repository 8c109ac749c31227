// The bridge's probe as a module of its own, loaded by ffmpeg.exe only for a probe: an encode never pays
// for loading the FFmpeg libraries.
#include "Probe.h"

extern "C" __attribute__((visibility("default"))) int ReelpocketRunProbe(const char* shownName, const char* path)
{
    return RunProbe(shownName, path);
}
