#include "SourceFilters.h"

namespace {

// zscale's names for what FFmpeg's decoders report; an HDR source without tags of its own is taken for the
// BT.2020 it almost always is.
std::string ZscalePrimaries(const std::string& primaries)
{
    return primaries == "bt709" || primaries == "smpte432" || primaries == "smpte431" ? primaries : "bt2020";
}

std::string ZscaleMatrix(const std::string& matrix)
{
    return matrix == "bt709" || matrix == "bt2020c" ? matrix : "bt2020nc";
}

} // namespace

std::string DeinterlaceFilter(const StreamFacts& video)
{
    // bwdif takes each frame's own field order from the decoder, which knows it better than the stream's
    // summary does (the "tb"/"bt" orders mean different things to different writers).
    return IsInterlaced(video) ? "bwdif=mode=send_frame:parity=auto:deint=all" : std::string();
}

std::string ToSdrFilter(const StreamFacts& video)
{
    if (!IsHdr(video))
        return std::string();
    const std::string range = video.range == "pc" ? "full" : "limited";
    // To linear light with SDR white at 100 cd/m2, into BT.709's colours, highlights rolled off (mobius keeps
    // the tones below white as they are), and back to BT.709's curve. desat=0: highlights keep their colour.
    return "zscale=tin=" + video.transfer + ":pin=" + ZscalePrimaries(video.primaries)
        + ":min=" + ZscaleMatrix(video.matrix) + ":rin=" + range
        + ":t=linear:npl=100,format=gbrpf32le,zscale=p=bt709,tonemap=tonemap=mobius:desat=0,"
          "zscale=t=bt709:m=bt709:r=limited,format=yuv420p";
}

std::vector<std::string> SdrTags(const StreamFacts& video)
{
    if (!IsHdr(video))
        return {};
    return {"-color_primaries", "bt709", "-color_trc", "bt709", "-colorspace", "bt709", "-color_range", "tv"};
}
