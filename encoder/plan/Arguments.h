#pragma once

#include <optional>
#include <string>
#include <vector>

// What the command line asks for: a probe ("-i SRC" and no output) or an encode.
struct Request
{
    enum class Mode { Probe, Encode, Invalid };
    Mode mode = Mode::Invalid;
    std::string input;
    std::string output;
    bool overwrite = false; // "-y": an existing output may be replaced
    std::vector<std::string> inputOptions; // options before -i, "-y" left out
    std::vector<std::string> outputOptions; // options after -i, as given
    std::string error;
};

Request ParseArguments(const std::vector<std::string>& args);

struct PictureSize
{
    int width = 0;
    int height = 0;
};

// The output options rewritten for the installed ffmpeg. The picture size and the user's video filters are
// taken out: the filter chain (FilterChain.h) puts them back in its own order.
struct Translation
{
    std::vector<std::string> options;
    std::optional<PictureSize> size; // from -s, both sides rounded down to even
    std::string videoFilters; // from -vf / -filter:v
    std::string frameRate; // from -r: a cap applied by a filter ahead of the scaler
    std::string format; // from -f, empty when not given
    std::string videoCodec; // from -vcodec / -c:v, empty when not given; "copy" when the video is copied
    std::string outputCodec; // the video codec the request asks for, also when its video is copied instead
    bool hasPixelFormat = false;
    bool hasMovFlags = false;
    bool hasMap = false; // -map: the streams are chosen by the caller
    bool hasProfile = false; // -profile:v / -vprofile
    bool hasBFrames = false; // -bf
    bool cavlc = false; // -coder 0: the simple entropy coder
};

Translation TranslateOutputOptions(const std::vector<std::string>& options);

// Whether `name` is one of the options, and the value that follows it (empty when it is not given).
bool HasOption(const std::vector<std::string>& options, const std::string& name);
std::string OptionValue(const std::vector<std::string>& options, const std::string& name);
