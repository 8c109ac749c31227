// The index of a finished MP4 file as the bridge reads it back: any bytes as the body of a "moov" box.
#include "encoder/run/OutputCheck.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto facts = ParseMovieBox(std::string_view(reinterpret_cast<const char*>(data), size));
    if (facts && (facts->seconds < 0 || facts->videoSeconds < 0 || facts->videoTracks < 0))
        std::abort();
    return 0;
}
