#pragma once

#include "encoder/facts/SourceFacts.h"
#include "encoder/plan/Arguments.h"
#include "encoder/plan/FfmpegArguments.h"

#include <optional>
#include <string>

// When a source's video already is what the output would be made of, it is copied into the output as it is:
// seconds instead of minutes, and no second generation of compression. So is its sound, alongside a copied video.

// H.264 profiles in the order each one's streams play where the next one plays.
enum class Profile { ConstrainedBaseline, Baseline, Main, High };

// What an output asks of the video and sound copied into it, read from its options.
struct CopyTarget
{
    Profile profile = Profile::ConstrainedBaseline; // x264's "baseline" is Constrained Baseline
    int level = 0; // as H.264 numbers it: 30 for 3.0
    double maxBitsPerSecond = 0; // -maxrate
    double bufferBits = 0; // -bufsize
    std::optional<PictureSize> size; // -s; without it the source's sides made even
    int audioChannels = 2; // -ac
    // An HEVC output (libx265): HEVC Main and Main 10 are copied beside H.264, HDR kept, up to 60 frames a second.
    bool hevc = false;
    double maxFrameRate = 30;
};

// The target of a request; nullopt when it asks for anything a copy would not give: an option it does not
// know, filters, subtitles to draw, a cut, a stream map of its own, a file outside the MP4 family.
std::optional<CopyTarget> CopyTargetOf(const Request& request, const Translation& translation,
                                       const EncodeSetup& setup);

struct CopyPlan
{
    bool video = false;
    bool audio = false; // only alongside the video
    bool sound = false; // the output carries sound, copied or not
};

// The most frames a second of a variable-rate video may hold beyond its output's rate: its time stamps are
// rounded, so a second of a steady 30 can catch one more.
inline constexpr int kFramesOverInASecond = 1;
// The highest sample rate of the iPhone's sound: faster sound is made this rate when it is encoded.
inline constexpr int kMaxSampleRate = 48000;

// What of the source chosen for the output (ChosenVideo, ChosenAudio) is copied into `target`.
CopyPlan PlanCopy(const SourceFacts& facts, const CopyTarget& target);
// The same for a request: nothing when it has no target or its source was not described.
CopyPlan PlanCopy(const Request& request, const Translation& translation, const EncodeSetup& setup);

// Whether the video could be copied into one of the program's outputs as far as its coding and size tell: the
// probe reads its pictures only then.
bool MightBeCopied(const StreamFacts& video);

// The most frames of `packets` (any order) inside one second, and their mean rate.
int FastestSecond(const std::vector<PacketFacts>& packets);
double MeanFrameRate(const std::vector<PacketFacts>& packets);
// Whether pictures of these sizes at these times (in decoding order) pass through a buffer of `bufferBits`
// filled at `bitsPerSecond`, as a player's buffer that starts full.
bool WithinRate(const std::vector<PacketFacts>& packets, double bitsPerSecond, double bufferBits);

// The options of `translation` with what `plan` copies copied and the rest encoded as asked.
Translation CopyTranslation(const Translation& translation, const CopyPlan& plan);

// The line the bridge prints before it copies.
inline constexpr char kCopiedMarker[] = "ffmpeg.exe: copied, already plays on iPhone";
std::string CopiedLine(const CopyPlan& plan);
