#include "encoder/plan/FilterChain.h"

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

std::string ToSdrFilter(const StreamFacts& video, const std::optional<PictureSize>& size)
{
    if (!IsHdr(video))
        return std::string();
    const std::string range = video.range == "pc" ? "full" : "limited";
    // A phone's 4K clip shrinks to a fraction of its area: mapped at full size it would take several times as
    // long, for a picture that differs little. Bicubic, as the scaler that would otherwise shrink it.
    const std::string resize = size
        ? ":w=" + std::to_string(size->width) + ":h=" + std::to_string(size->height) + ":f=bicubic"
        : std::string();
    // To linear light with SDR white at 100 cd/m2, into BT.709's colours, highlights rolled off (mobius keeps
    // the tones below white as they are), and back to BT.709's curve. desat=0: highlights keep their colour.
    return "zscale=tin=" + video.transfer + ":pin=" + ZscalePrimaries(video.primaries)
        + ":min=" + ZscaleMatrix(video.matrix) + ":rin=" + range + resize
        + ":t=linear:npl=100,format=gbrpf32le,zscale=p=bt709,tonemap=tonemap=mobius:desat=0,"
          "zscale=t=bt709:m=bt709:r=limited,format=yuv420p";
}

std::vector<std::string> SdrTags(const StreamFacts& video)
{
    if (!IsHdr(video))
        return {};
    return {"-color_primaries", "bt709", "-color_trc", "bt709", "-colorspace", "bt709", "-color_range", "tv"};
}

PictureFixes PictureFixesFor(const StreamFacts* video, const Translation& translation)
{
    if (!video || translation.hasMap)
        return {};
    // The user's own filters expect the picture at its own size.
    const auto size = translation.videoFilters.empty() ? translation.size : std::nullopt;
    // The HEVC output keeps HDR as it is.
    if (translation.outputCodec == "libx265")
        return {DeinterlaceFilter(*video), std::string(), {}};
    return {DeinterlaceFilter(*video), ToSdrFilter(*video, size), SdrTags(*video)};
}

bool IsValidUtf8(const std::string& bytes)
{
    size_t i = 0;
    while (i < bytes.size()) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        size_t extra = 0;
        unsigned min = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1;
            min = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            min = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            min = 0x10000;
        } else {
            return false;
        }
        if (i + extra >= bytes.size())
            return false;
        unsigned code = c & (0x3F >> extra);
        for (size_t k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3F);
        }
        if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += extra + 1;
    }
    return true;
}

std::string SubtitleCharacterSet(const std::string& bytes)
{
    // Notepad's "Unicode" is UTF-16 with a byte-order mark; its bytes are never valid UTF-8.
    for (const char* mark : {"\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"})
        if (bytes.rfind(mark, 0) == 0)
            return std::string();
    return IsValidUtf8(bytes) ? std::string() : "CP1252";
}

std::string EscapeFilterValue(const std::string& value)
{
    std::string out;
    for (char c : value) {
        if (c == '\\' || c == '\'' || c == ':')
            out += '\\';
        out += c;
    }
    return out;
}

std::string EscapeFilterGraph(const std::string& description)
{
    std::string out;
    for (char c : description) {
        if (c == '\\' || c == '\'' || c == '[' || c == ']' || c == ',' || c == ';')
            out += '\\';
        out += c;
    }
    return out;
}

std::string BuildVideoFilters(const Translation& translation, const std::string& subtitleFilter,
                              const PictureFixes& fixes)
{
    std::string chain;
    auto add = [&chain](const std::string& filter) {
        if (!filter.empty())
            chain += (chain.empty() ? "" : ",") + filter;
    };
    // The deinterlacer compares each frame with its neighbours, so it sees them all, before any is dropped.
    add(fixes.deinterlace);
    // Frames are dropped before they are scaled, not after. Each output frame takes the source frame
    // nearest its own time, so on a 60 fps source frame j shows source frame 2j, in step with the sound.
    if (!translation.frameRate.empty())
        add("fps=fps=" + EscapeFilterValue(translation.frameRate) + ":round=near");
    // Tone mapping is costly: only frames that are kept are mapped, before they are scaled.
    add(fixes.toSdr);
    add(translation.videoFilters);
    if (translation.size) {
        add("scale=" + std::to_string(translation.size->width) + ":" + std::to_string(translation.size->height));
    } else {
        add("scale=trunc(iw/2)*2:trunc(ih/2)*2");
    }
    add(subtitleFilter);
    return chain;
}
