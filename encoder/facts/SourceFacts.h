#pragma once

#include "encoder/capture/CaptureFacts.h"
#include "encoder/facts/StreamCoding.h"

#include <optional>
#include <string>
#include <vector>

// What the encode needs to know about its source before ffmpeg starts, as the probe module reads it with
// libavformat. Names are FFmpeg's own ("tt", "arib-std-b67", "bt2020nc", ...).
struct StreamFacts
{
    enum class Kind { Video, Audio, Subtitle, Other };
    Kind kind = Kind::Other;
    bool isDefault = false; // the file marks it as the one to play
    bool cover = false; // an attached picture, not a video
    std::string fieldOrder; // "progressive", "tt", "bb", "tb", "bt"; empty when not known
    std::string transfer;
    std::string primaries;
    std::string matrix;
    std::string range;
    std::optional<double> seconds; // the duration the file states for this stream
    StreamCoding coding;
};

struct SourceFacts
{
    std::vector<StreamFacts> streams; // in the file's order
    // Why the subtitle file asked about cannot be drawn; empty when it can or none was asked about.
    std::string subtitleProblem;
    CaptureFacts capture; // when, where and with what it was filmed
};

// One line per stream and one for a subtitle problem: the text the probe module hands to the bridge.
std::string FormatSourceFacts(const SourceFacts& facts);
// nullopt when the text describes no stream (the module could not read the source).
std::optional<SourceFacts> ParseSourceFacts(const std::string& text);

// The video ffmpeg is told to encode: the first that is not a cover picture.
const StreamFacts* ChosenVideo(const SourceFacts& facts);
// The sound: the first audio stream the file marks as default, else the first. Its number among the
// audio streams, nullopt when there is none.
std::optional<int> ChosenAudio(const SourceFacts& facts);
const StreamFacts* AudioStream(const SourceFacts& facts, int number);

// The longest stated duration of the streams the output carries; nullopt when none states one.
std::optional<double> CarriedSeconds(const SourceFacts& facts, bool withVideo, bool withAudio);

bool IsInterlaced(const StreamFacts& video);
bool IsHdr(const StreamFacts& video);
