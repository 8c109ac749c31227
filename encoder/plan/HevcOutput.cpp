#include "encoder/plan/HevcOutput.h"

#include <utility>

namespace {

std::string Numbers(const std::vector<int64_t>& numbers, size_t from, size_t count)
{
    std::string text;
    for (size_t i = from; i < from + count && i < numbers.size(); ++i)
        text += (i == from ? "" : ",") + std::to_string(numbers[i]);
    return text;
}

// x265's "G(x,y)B(x,y)R(x,y)WP(x,y)L(max,min)".
std::string MasterDisplay(const std::vector<int64_t>& m)
{
    return "G(" + Numbers(m, 0, 2) + ")B(" + Numbers(m, 2, 2) + ")R(" + Numbers(m, 4, 2) + ")WP(" + Numbers(m, 6, 2)
        + ")L(" + Numbers(m, 8, 2) + ")";
}

// The highest rate and buffer (kbit) of HEVC's Main tier at a level as H.264 numbers it; 0 above 6.2.
int MainTierKbits(const std::string& level)
{
    static const std::pair<const char*, int> tiers[]
        = {{"30", 6000},  {"31", 10000}, {"40", 12000}, {"41", 20000},  {"50", 25000},
           {"51", 40000}, {"52", 60000}, {"60", 60000}, {"61", 120000}, {"62", 240000}};
    for (const auto& [name, kbits] : tiers)
        if (level == name)
            return kbits;
    return 0;
}

} // namespace

bool IsHevcOutput(const Translation& translation)
{
    return translation.outputCodec == "libx265";
}

std::vector<std::string> HevcCodingArguments(const StreamFacts* video, const Translation& translation)
{
    // With streams of the caller's choosing, the described video may not be the one encoded.
    const bool hdr = video && !translation.hasMap && IsHdr(*video);
    std::vector<std::string> args;
    std::string params = "log-level=error";
    const std::string level = OptionValue(translation.options, "-level");
    if (!level.empty())
        params += ":level-idc=" + level;
    // The line's rates are what a copy may carry (a phone's own clips use the High tier); an encode keeps to the
    // Main tier, which every HEVC decoder of the level plays.
    if (const int kbits = MainTierKbits(level)) {
        const std::string text = std::to_string(kbits);
        params += ":high-tier=0:vbv-maxrate=" + text + ":vbv-bufsize=" + text;
    }
    if (hdr) {
        if (!translation.hasPixelFormat)
            args.insert(args.end(), {"-pix_fmt", "yuv420p10le"});
        if (!translation.hasProfile)
            args.insert(args.end(), {"-profile:v", "main10"});
        args.insert(args.end(),
                    {"-color_primaries", video->primaries.empty() ? "bt2020" : video->primaries, "-color_trc",
                     video->transfer, "-colorspace", video->matrix.empty() ? "bt2020nc" : video->matrix, "-color_range",
                     "tv"});
        if (video->transfer == "smpte2084") {
            params += ":hdr10=1:hdr10-opt=1";
            if (video->coding.mastering.size() == 10)
                params += ":master-display=" + MasterDisplay(video->coding.mastering);
            if (video->coding.lightLevel.size() == 2)
                params += ":max-cll=" + Numbers(video->coding.lightLevel, 0, 2);
        }
    } else {
        if (!translation.hasPixelFormat)
            args.insert(args.end(), {"-pix_fmt", "yuv420p"});
        if (!translation.hasProfile)
            args.insert(args.end(), {"-profile:v", "main"});
    }
    args.insert(args.end(), {"-x265-params", params});
    return args;
}

bool KeepsSurround(const StreamFacts* sound, const Translation& translation)
{
    return sound && IsHevcOutput(translation) && !translation.hasMap
        && (sound->coding.codec == "ac3" || sound->coding.codec == "eac3");
}

std::vector<std::string> WithSurroundKept(const std::vector<std::string>& options)
{
    std::vector<std::string> out;
    for (const std::string& option : options)
        out.push_back(option == "-c:a" || option == "-ac" || option == "-b:a"
                          ? option + (option == "-ac" ? ":a:0" : ":0")
                          : option);
    out.insert(out.end(), {"-c:a:1", "copy", "-disposition:a:0", "default", "-disposition:a:1", "0"});
    return out;
}
