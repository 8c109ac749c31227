#include "encoder/plan/CopyRule.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>

namespace {

enum class Role { Video, Audio, Container, Flag, Unknown };

// The options a copy knows: the encoders' (replaced by the copy) and the container's (kept). Any other option
// means the output is to be made in a way a copy would not honour.
Role RoleOf(const std::string& name)
{
    static const std::set<std::string> video
        = {"-c:v",     "-crf",     "-subq",         "-level", "-refs",   "-motion-est", "-partitions",
           "-trellis", "-weightp", "-rc-lookahead", "-g",     "-bf",     "-profile:v",  "-coder",
           "-bufsize", "-maxrate", "-preset",       "-tune",  "-threads"};
    static const std::set<std::string> audio = {"-c:a", "-ac", "-b:a"};
    static const std::set<std::string> container = {"-f", "-movflags", "-map_metadata"};
    static const std::set<std::string> flags = {"-an", "-sn", "-dn"};
    if (video.count(name))
        return Role::Video;
    if (audio.count(name))
        return Role::Audio;
    if (container.count(name) || name.rfind("-metadata", 0) == 0)
        return Role::Container;
    if (flags.count(name))
        return Role::Flag;
    return Role::Unknown;
}

// Calls `take(name, value, role)` for each option; false at the first one not known (or without its value).
template <typename Take> bool EachOption(const std::vector<std::string>& options, Take take)
{
    for (size_t i = 0; i < options.size(); ++i) {
        const Role role = RoleOf(options[i]);
        if (role == Role::Unknown || (role != Role::Flag && i + 1 == options.size()))
            return false;
        const std::string& name = options[i];
        const std::string* value = role == Role::Flag ? nullptr : &options[++i];
        take(name, value, role);
    }
    return true;
}

std::optional<Profile> ProfileOfStream(const std::string& name)
{
    if (name == "Constrained-Baseline")
        return Profile::ConstrainedBaseline;
    if (name == "Baseline")
        return Profile::Baseline;
    if (name == "Main")
        return Profile::Main;
    if (name == "High")
        return Profile::High;
    return std::nullopt;
}

std::optional<Profile> ProfileOfOption(const std::string& value)
{
    if (value == "baseline")
        return Profile::ConstrainedBaseline;
    if (value == "main")
        return Profile::Main;
    if (value == "high")
        return Profile::High;
    return std::nullopt;
}

// "30", "3", "3.0" and "4.1" as H.264 numbers them: 30, 30, 30, 41.
int LevelOf(const std::string& value)
{
    char* end = nullptr;
    const double number = std::strtod(value.c_str(), &end);
    if (end == value.c_str() || *end != '\0' || !(number > 0) || number > 100)
        return 0;
    return static_cast<int>(std::lround(value.find('.') != std::string::npos || number < 10 ? number * 10 : number));
}

// A rate or size as ffmpeg reads it: "1.5M", "4M", "800k", "2Mi" (powers of 1024), "1MB" (bytes).
double BitsOf(const std::string& value)
{
    char* end = nullptr;
    double number = std::strtod(value.c_str(), &end);
    if (end == value.c_str() || !(number > 0))
        return 0;
    const std::string rest(end);
    size_t at = 0;
    const std::string prefixes = "kKMG";
    if (at < rest.size() && prefixes.find(rest[at]) != std::string::npos) {
        const int power = rest[at] == 'M' ? 2 : rest[at] == 'G' ? 3 : 1;
        const bool binary = at + 1 < rest.size() && rest[at + 1] == 'i';
        number *= std::pow(binary ? 1024.0 : 1000.0, power);
        at += binary ? 2 : 1;
    }
    if (at < rest.size() && rest[at] == 'B') {
        number *= 8;
        ++at;
    }
    return at == rest.size() ? number : 0;
}

bool SameRatio(const Ratio& a, const Ratio& b)
{
    return static_cast<int64_t>(a.num) * b.den == static_cast<int64_t>(b.num) * a.den;
}

// The picture as it is shown: a video turned a quarter shows its sides swapped.
PictureSize Upright(const StreamCoding& coding)
{
    return coding.turned ? PictureSize {coding.height, coding.width} : PictureSize {coding.width, coding.height};
}

// HEVC levels are numbered thirty times the level: 153 for 5.1.
constexpr int kHevcLevelsPerH264Level = 3;

bool H264Meets(const StreamCoding& coding, Profile profile, int level)
{
    const auto own = ProfileOfStream(coding.profile);
    return own && *own <= profile && coding.level > 0 && coding.level <= level && coding.pixelFormat == "yuv420p";
}

// Main or Main 10 in 4:2:0, with its parameter sets in its header: an "hvc1" sample entry is written from them,
// the only HEVC entry Apple's players show.
bool HevcMeets(const StreamCoding& coding, int level)
{
    return (coding.profile == "Main" || coding.profile == "Main-10") && coding.level > 0
        && coding.level <= level * kHevcLevelsPerH264Level
        && (coding.pixelFormat == "yuv420p" || coding.pixelFormat == "yuv420p10le") && coding.headerSets;
}

// Limited range, whole frames, and SDR unless the output keeps HDR: what the encoder would make of it.
bool CodingMeets(const StreamFacts& video, const CopyTarget& target)
{
    const StreamCoding& coding = video.coding;
    const bool coded = coding.codec == "h264" ? H264Meets(coding, target.profile, target.level) && !IsHdr(video)
        : coding.codec == "hevc"              ? target.hevc && HevcMeets(coding, target.level)
                                              : false;
    return coded && video.range != "pc" && video.fieldOrder == "progressive";
}

bool VideoMeets(const StreamFacts& video, const CopyTarget& target)
{
    const StreamCoding& coding = video.coding;
    if (!CodingMeets(video, target))
        return false;
    const PictureSize shown = Upright(coding);
    const PictureSize wanted = target.size.value_or(PictureSize {shown.width & ~1, shown.height & ~1});
    if (shown.width <= 0 || shown.width != wanted.width || shown.height != wanted.height)
        return false;
    // The pixels' shape as the file states it must be the one the video itself states (or square when it states
    // none): the copied video keeps both, an encode would write the file's into the video.
    const Ratio coded = coding.codedAspect.stated() ? coding.codedAspect : Ratio {1, 1};
    if (coding.containerAspect.stated() && !SameRatio(coding.containerAspect, coded))
        return false;
    // Without the times pictures are shown, reordered pictures would be shown in decoding order.
    return !coding.packets.empty() && coding.startsWithKeyFrame && (coding.shownTimes || !coding.reorders)
        && FastestSecond(coding.packets) <= static_cast<int>(target.maxFrameRate) + kFramesOverInASecond
        && MeanFrameRate(coding.packets) <= target.maxFrameRate * 1.001
        && WithinRate(coding.packets, target.maxBitsPerSecond, target.bufferBits);
}

bool AudioMeets(const StreamFacts& audio, const CopyTarget& target)
{
    const StreamCoding& coding = audio.coding;
    return coding.codec == "aac" && coding.profile == "LC" && coding.channels >= 1
        && coding.channels <= std::min(2, target.audioChannels) && coding.sampleRate >= 32000
        && coding.sampleRate <= kMaxSampleRate && coding.bitsPerSecond > 0 && coding.bitsPerSecond <= 320000;
}

} // namespace

std::optional<CopyTarget> CopyTargetOf(const Request& request, const Translation& translation, const EncodeSetup& setup)
{
    for (const std::string& option : request.inputOptions)
        if (option != "-re")
            return std::nullopt;
    const bool hevc = translation.videoCodec == "libx265";
    if ((translation.videoCodec != "libx264" && !hevc) || !translation.videoFilters.empty() || translation.hasMap
        || translation.hasPixelFormat || !setup.subtitleFilter.empty()
        || !(setup.format == "mp4" || setup.format == "ipod" || setup.format == "mov"))
        return std::nullopt;
    CopyTarget target;
    target.size = translation.size;
    std::optional<Profile> profile;
    bool understood = true;
    const bool known = EachOption(translation.options, [&](const std::string& name, const std::string* value, Role) {
        if (name == "-profile:v")
            profile = ProfileOfOption(*value);
        else if (name == "-level")
            target.level = LevelOf(*value);
        else if (name == "-maxrate")
            target.maxBitsPerSecond = BitsOf(*value);
        else if (name == "-bufsize")
            target.bufferBits = BitsOf(*value);
        else if (name == "-ac")
            target.audioChannels = std::atoi(value->c_str());
        else if (name == "-c:a")
            understood = understood && *value == "aac";
    });
    // The HEVC output names no profile: it takes H.264 up to High, and HEVC Main or Main 10.
    if (hevc) {
        target.hevc = true;
        target.maxFrameRate = 60;
        if (!profile)
            profile = Profile::High;
    }
    if (!known || !understood || !profile || target.level <= 0 || !(target.maxBitsPerSecond > 0)
        || !(target.bufferBits > 0) || target.audioChannels <= 0)
        return std::nullopt;
    target.profile = *profile;
    return target;
}

CopyPlan PlanCopy(const SourceFacts& facts, const CopyTarget& target)
{
    CopyPlan plan;
    const StreamFacts* video = ChosenVideo(facts);
    if (!video || !VideoMeets(*video, target))
        return plan;
    plan.video = true;
    if (const auto number = ChosenAudio(facts)) {
        plan.sound = true;
        plan.audio = AudioMeets(*AudioStream(facts, *number), target);
    }
    return plan;
}

CopyPlan PlanCopy(const Request& request, const Translation& translation, const EncodeSetup& setup)
{
    const auto target = CopyTargetOf(request, translation, setup);
    return target && setup.facts ? PlanCopy(*setup.facts, *target) : CopyPlan {};
}

bool MightBeCopied(const StreamFacts& video)
{
    // The loosest of the outputs: the HEVC one at level 5.1, in a 3840x2160 frame either way up.
    CopyTarget loosest;
    loosest.profile = Profile::High;
    loosest.level = 51;
    loosest.hevc = true;
    const PictureSize shown = Upright(video.coding);
    const bool fits = shown.width >= shown.height ? shown.width <= 3840 && shown.height <= 2160
                                                  : shown.width <= 2160 && shown.height <= 3840;
    return video.kind == StreamFacts::Kind::Video && fits && CodingMeets(video, loosest);
}

int FastestSecond(const std::vector<PacketFacts>& packets)
{
    std::vector<double> times;
    times.reserve(packets.size());
    for (const PacketFacts& packet : packets)
        times.push_back(packet.seconds);
    std::sort(times.begin(), times.end());
    size_t most = 0;
    size_t first = 0;
    for (size_t last = 0; last < times.size(); ++last) {
        while (times[last] - times[first] >= 1.0)
            ++first;
        most = std::max(most, last - first + 1);
    }
    return static_cast<int>(most);
}

double MeanFrameRate(const std::vector<PacketFacts>& packets)
{
    if (packets.size() < 2)
        return 0;
    const auto [low, high]
        = std::minmax_element(packets.begin(), packets.end(),
                              [](const PacketFacts& a, const PacketFacts& b) { return a.seconds < b.seconds; });
    const double span = high->seconds - low->seconds;
    return span > 0 ? static_cast<double>(packets.size() - 1) / span : 0;
}

bool WithinRate(const std::vector<PacketFacts>& packets, double bitsPerSecond, double bufferBits)
{
    double fill = bufferBits;
    double last = packets.empty() ? 0 : packets.front().seconds;
    for (const PacketFacts& packet : packets) {
        fill = std::min(bufferBits, fill + bitsPerSecond * std::max(0.0, packet.seconds - last));
        last = std::max(last, packet.seconds);
        fill -= static_cast<double>(packet.bytes) * 8;
        if (fill < 0)
            return false;
    }
    return true;
}

Translation CopyTranslation(const Translation& translation, const CopyPlan& plan)
{
    Translation copy = translation;
    copy.options.clear();
    EachOption(translation.options, [&](const std::string& name, const std::string* value, Role role) {
        // Options of an encoder that is not used are warned about.
        if ((role == Role::Video && plan.video) || (role == Role::Audio && (plan.audio || !plan.sound)))
            return;
        copy.options.push_back(name);
        if (value)
            copy.options.push_back(*value);
    });
    if (plan.video) {
        copy.options.insert(copy.options.end(), {"-c:v", "copy"});
        copy.videoCodec = "copy";
        copy.frameRate.clear();
        copy.size.reset();
        copy.cavlc = false;
    }
    if (plan.audio)
        copy.options.insert(copy.options.end(), {"-c:a", "copy"});
    return copy;
}

std::string CopiedLine(const CopyPlan& plan)
{
    const char* what = plan.audio ? " (video and sound)\n" : plan.sound ? " (video; sound encoded)\n" : " (video)\n";
    return kCopiedMarker + std::string(what);
}
