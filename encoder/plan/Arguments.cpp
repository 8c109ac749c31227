#include "encoder/plan/Arguments.h"

#include <cstdlib>
#include <set>

namespace {

// Options that take no value; every other "-name" is followed by one.
const std::set<std::string>& Flags()
{
    static const std::set<std::string> flags
        = {"-y",        "-n",     "-an",      "-vn",    "-sn",     "-dn", "-shortest",      "-hide_banner",
           "-nostdin",  "-stdin", "-nostats", "-stats", "-copyts", "-re", "-accurate_seek", "-noaccurate_seek",
           "-benchmark"};
    return flags;
}

bool IsOptionName(const std::string& arg)
{
    return arg.size() > 1 && arg[0] == '-';
}

std::optional<PictureSize> ParseSize(const std::string& text)
{
    const auto x = text.find('x');
    if (x == std::string::npos || x == 0 || x + 1 >= text.size())
        return std::nullopt;
    char* end = nullptr;
    const long w = std::strtol(text.c_str(), &end, 10);
    if (end != text.c_str() + x)
        return std::nullopt;
    const long h = std::strtol(text.c_str() + x + 1, &end, 10);
    if (*end != '\0' || w < 2 || h < 2 || w > 16384 || h > 16384)
        return std::nullopt;
    // 4:2:0 needs even sides.
    return PictureSize {static_cast<int>(w & ~1L), static_cast<int>(h & ~1L)};
}

// "+parti4x4+partp8x8" (the old flag form) to x264's "i4x4,p8x8"; anything else unchanged.
std::string TranslatePartitions(const std::string& value)
{
    if (value.empty() || (value[0] != '+' && value[0] != '-'))
        return value;
    std::string result;
    size_t pos = 0;
    while (pos < value.size()) {
        const char sign = value[pos];
        size_t next = value.find_first_of("+-", pos + 1);
        if (next == std::string::npos)
            next = value.size();
        std::string name = value.substr(pos + 1, next - pos - 1);
        if (name.rfind("part", 0) == 0)
            name = name.substr(4);
        if (sign == '+' && !name.empty())
            result += (result.empty() ? "" : ",") + name;
        pos = next;
    }
    return result.empty() ? "none" : result;
}

std::string TranslateMotionEstimation(const std::string& value)
{
    if (value == "epzs" || value == "zero")
        return "dia";
    if (value == "full")
        return "esa";
    return value;
}

std::string TranslateAudioCodec(const std::string& value)
{
    if (value == "libfaac" || value == "libvo_aacenc" || value == "libaacplus")
        return "aac";
    return value;
}

} // namespace

Request ParseArguments(const std::vector<std::string>& args)
{
    Request request;
    bool seenInput = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool last = i + 1 == args.size();
        if (arg == "-i") {
            if (last) {
                request.error = "option -i needs a file name";
                return request;
            }
            if (seenInput) {
                request.error = "only one input file is supported";
                return request;
            }
            seenInput = true;
            request.input = args[++i];
        } else if (IsOptionName(arg) && Flags().count(arg)) {
            if (arg == "-y")
                request.overwrite = true;
            else
                (seenInput ? request.outputOptions : request.inputOptions).push_back(arg);
        } else if (IsOptionName(arg) && !last) {
            auto& target = seenInput ? request.outputOptions : request.inputOptions;
            target.push_back(arg);
            target.push_back(args[++i]);
        } else {
            // A file name where an option was expected, or the final word even when it starts with a dash.
            if (!request.output.empty() || !seenInput) {
                request.error = "unexpected argument '" + arg + "'";
                return request;
            }
            request.output = arg;
        }
    }
    if (!seenInput) {
        request.error = "no input file given (-i)";
        return request;
    }
    request.mode = request.output.empty() ? Request::Mode::Probe : Request::Mode::Encode;
    return request;
}

Translation TranslateOutputOptions(const std::vector<std::string>& options)
{
    Translation t;
    for (size_t i = 0; i < options.size(); ++i) {
        const std::string& name = options[i];
        const bool hasValue = !Flags().count(name) && i + 1 < options.size();
        const std::string value = hasValue ? options[i + 1] : std::string();
        if (hasValue)
            ++i;
        if (!hasValue) {
            t.options.push_back(name);
        } else if (name == "-s") {
            if (auto size = ParseSize(value)) {
                t.size = size;
            } else {
                t.options.insert(t.options.end(), {name, value});
            }
        } else if (name == "-r") {
            t.frameRate = value;
        } else if (name == "-vf" || name == "-filter:v") {
            t.videoFilters += (t.videoFilters.empty() ? "" : ",") + value;
        } else if (name == "-acodec" || name == "-c:a" || name == "-codec:a") {
            t.options.insert(t.options.end(), {"-c:a", TranslateAudioCodec(value)});
        } else if (name == "-vcodec" || name == "-c:v" || name == "-codec:v") {
            t.videoCodec = value;
            t.outputCodec = value;
            t.options.insert(t.options.end(), {"-c:v", value});
        } else if (name == "-ab") {
            t.options.insert(t.options.end(), {"-b:a", value});
        } else if (name == "-me" || name == "-me_method") {
            t.options.insert(t.options.end(), {"-motion-est", TranslateMotionEstimation(value)});
        } else if (name == "-partitions") {
            t.options.insert(t.options.end(), {name, TranslatePartitions(value)});
        } else if (name == "-vprofile" || name == "-profile" || name == "-profile:v") {
            // The old names meant the video's profile; today a bare -profile reaches the audio encoder too.
            t.hasProfile = true;
            t.options.insert(t.options.end(), {"-profile:v", value});
        } else {
            if (name == "-f")
                t.format = value;
            if (name == "-pix_fmt")
                t.hasPixelFormat = true;
            if (name == "-movflags")
                t.hasMovFlags = true;
            if (name == "-map")
                t.hasMap = true;
            if (name == "-bf")
                t.hasBFrames = true;
            if (name == "-coder")
                t.cavlc = value == "0" || value == "vlc" || value == "cavlc";
            t.options.insert(t.options.end(), {name, value});
        }
    }
    // Older encoders made no B-frames and no 8x8 transform unless asked to; with CAVLC that is the
    // Constrained Baseline profile older iPhones need. Current libx264 defaults to High with B-frames.
    if (t.videoCodec == "libx264" && !t.hasProfile && !t.hasBFrames) {
        if (t.cavlc && !t.hasPixelFormat)
            t.options.insert(t.options.end(), {"-profile:v", "baseline"});
        else
            t.options.insert(t.options.end(), {"-bf", "0"});
    }
    return t;
}

bool HasOption(const std::vector<std::string>& options, const std::string& name)
{
    for (const std::string& option : options)
        if (option == name)
            return true;
    return false;
}

std::string OptionValue(const std::vector<std::string>& options, const std::string& name)
{
    for (size_t i = 0; i + 1 < options.size(); ++i)
        if (options[i] == name)
            return options[i + 1];
    return std::string();
}
