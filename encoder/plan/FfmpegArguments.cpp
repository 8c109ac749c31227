#include "encoder/plan/FfmpegArguments.h"

#include "encoder/capture/CaptureFacts.h"
#include "encoder/capture/MovieTags.h"
#include "encoder/plan/ContainerFormat.h"
#include "encoder/plan/CopyRule.h"
#include "encoder/plan/FilterChain.h"
#include "encoder/plan/HevcOutput.h"

namespace {

// Sound faster than the iPhone plays: the rate its encode is told, unless the line chooses rate or streams.
std::optional<int> SoundRateCap(const Translation& translation, const EncodeSetup& setup)
{
    if (!setup.facts || translation.hasMap)
        return std::nullopt;
    const auto& options = translation.options;
    for (const char* chosen : {"-an", "-ar", "-ar:a"})
        if (HasOption(options, chosen))
            return std::nullopt;
    if (OptionValue(options, "-c:a") == "copy")
        return std::nullopt;
    const auto number = ChosenAudio(*setup.facts);
    const StreamFacts* audio = number ? AudioStream(*setup.facts, *number) : nullptr;
    if (!audio || audio->coding.sampleRate <= kMaxSampleRate)
        return std::nullopt;
    return kMaxSampleRate;
}

} // namespace

std::vector<std::string> FfmpegArguments(const Request& request, const Translation& translation,
                                         const EncodeSetup& setup)
{
    std::vector<std::string> args = {"-hide_banner", "-nostdin", "-nostats",      "-loglevel", "level+info",
                                     "-progress",    "pipe:3",   "-stats_period", "0.4"};
    args.insert(args.end(), request.inputOptions.begin(), request.inputOptions.end());
    args.insert(args.end(), {"-i", "file:" + setup.input});
    // The streams the probe described: the first video that is not a cover picture, and the sound the file
    // marks as the one to play (else the first). Left to itself ffmpeg takes the largest picture, which can
    // be another stream of another size, and the sound with the most channels.
    const int audio = setup.facts ? ChosenAudio(*setup.facts).value_or(0) : 0;
    const StreamFacts* video = setup.facts ? ChosenVideo(*setup.facts) : nullptr;
    const bool surround
        = setup.facts && IsMovFamily(setup.format) && KeepsSurround(AudioStream(*setup.facts, audio), translation);
    if (!translation.hasMap)
        args.insert(args.end(), {"-map", "0:V:0?", "-map", "0:a:" + std::to_string(audio) + (audio == 0 ? "?" : "")});
    if (surround)
        args.insert(args.end(), {"-map", "0:a:" + std::to_string(audio)});
    const auto options = surround ? WithSurroundKept(translation.options) : translation.options;
    args.insert(args.end(), options.begin(), options.end());
    // The kept surround track is copied as it is.
    if (const auto rate = SoundRateCap(translation, setup))
        args.insert(args.end(), {surround ? "-ar:a:0" : "-ar", std::to_string(*rate)});
    if (translation.format.empty())
        args.insert(args.end(), {"-f", setup.format});
    if (translation.videoCodec == "copy" && !translation.frameRate.empty())
        args.insert(args.end(), {"-r", translation.frameRate});
    const bool copied = translation.videoCodec == "copy";
    if (!copied) {
        const PictureFixes fixes = PictureFixesFor(video, translation);
        args.insert(args.end(), {"-vf", BuildVideoFilters(translation, setup.subtitleFilter, fixes)});
        if (IsHevcOutput(translation)) {
            const auto coding = HevcCodingArguments(video, translation);
            args.insert(args.end(), coding.begin(), coding.end());
        } else if (!translation.hasPixelFormat) {
            // H.264 on iPhones is 8-bit 4:2:0 only.
            args.insert(args.end(), {"-pix_fmt", "yuv420p"});
        }
        args.insert(args.end(), fixes.tags.begin(), fixes.tags.end());
    }
    // Apple's players show HEVC only from an "hvc1" sample entry, which holds the parameter sets; ffmpeg writes
    // "hev1" unless told. Dolby Vision's record is written only when ffmpeg may write what is not yet standard.
    const bool hevcVideo = copied ? video && video->coding.codec == "hevc" : IsHevcOutput(translation);
    if (IsMovFamily(setup.format) && hevcVideo)
        args.insert(args.end(), {"-tag:v", "hvc1"});
    if (IsMovFamily(setup.format) && copied && video && !video->coding.dolbyVision.empty())
        args.insert(args.end(), {"-strict", "unofficial"});
    if (IsMovFamily(setup.format) && !translation.hasMovFlags)
        args.insert(args.end(), {"-movflags", "+faststart"});
    if (IsMovFamily(setup.format)) {
        const CaptureFacts capture = setup.facts ? setup.facts->capture : CaptureFacts();
        const auto tags = CaptureArguments(capture, CaptureUserData(capture).size());
        args.insert(args.end(), tags.begin(), tags.end());
    }
    args.insert(args.end(), {"-sn", "-dn", "-y", "file:" + setup.partial});
    return args;
}
