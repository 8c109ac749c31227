// When the bridge copies a source's video (and sound) instead of encoding it: the rule on the source's facts
// against the program's outputs, each near miss one fact away from a source that qualifies.
#include "conversion/EncoderCommand.h"
#include "conversion/OutputFormat.h"
#include "encoder/plan/CopyRule.h"
#include "platform/CommandLine.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

namespace {

Request RequestOf(const QString& commandLine)
{
    std::vector<std::string> args;
    for (const QString& part : SplitCommandLine(commandLine).mid(1))
        args.push_back(part.toStdString());
    return ParseArguments(args);
}

EncodeSetup Mp4Setup()
{
    EncodeSetup setup;
    setup.format = "mp4";
    return setup;
}

std::optional<CopyTarget> TargetOf(OutputFormat format, int width, int height, const QString& cap = QString())
{
    const Request request = RequestOf(EncoderCommand(format, "/v/in.mp4", cap, width, height, "/v/out.mp4"));
    return CopyTargetOf(request, TranslateOutputOptions(request.outputOptions), Mp4Setup());
}

// Pictures at `fps` for `seconds`, each of `bytes`, the first a key frame.
std::vector<PacketFacts> Steady(double fps, double seconds, int64_t bytes)
{
    std::vector<PacketFacts> packets;
    for (int i = 0; i < static_cast<int>(seconds * fps + 0.5); ++i)
        packets.push_back({i / fps, bytes});
    return packets;
}

// A phone's clip: H.264 High@4.0 1920x1080 at 30 fps and 16 Mbit/s, AAC-LC stereo 48 kHz at 256 kbit/s.
SourceFacts PhoneClip()
{
    SourceFacts facts;
    StreamFacts video;
    video.kind = StreamFacts::Kind::Video;
    video.fieldOrder = "progressive";
    video.transfer = "bt709";
    video.range = "tv";
    video.coding.codec = "h264";
    video.coding.profile = "High";
    video.coding.level = 40;
    video.coding.pixelFormat = "yuv420p";
    video.coding.width = 1920;
    video.coding.height = 1080;
    video.coding.packets = Steady(30, 4, 16'000'000 / 8 / 30);
    video.coding.startsWithKeyFrame = true;
    video.coding.reorders = true;
    video.coding.shownTimes = true;
    StreamFacts audio;
    audio.kind = StreamFacts::Kind::Audio;
    audio.coding.codec = "aac";
    audio.coding.profile = "LC";
    audio.coding.channels = 2;
    audio.coding.sampleRate = 48000;
    audio.coding.bitsPerSecond = 256000;
    facts.streams = {video, audio};
    return facts;
}

StreamCoding& Video(SourceFacts& facts)
{
    return facts.streams[0].coding;
}

StreamCoding& Audio(SourceFacts& facts)
{
    return facts.streams[1].coding;
}

} // namespace

TEST(CopyRule, TheProgramsLinesAskForWhatTheirOutputsAre)
{
    const auto classic = TargetOf(OutputFormat::Classic, 480, 270, " -r 30");
    ASSERT_TRUE(classic.has_value());
    EXPECT_EQ(classic->profile, Profile::ConstrainedBaseline);
    EXPECT_EQ(classic->level, 30);
    EXPECT_DOUBLE_EQ(classic->maxBitsPerSecond, 1.5e6);
    EXPECT_DOUBLE_EQ(classic->bufferBits, 4e6);
    ASSERT_TRUE(classic->size.has_value());
    EXPECT_EQ(classic->size->width, 480);
    EXPECT_EQ(classic->audioChannels, 2);

    const auto fullHd = TargetOf(OutputFormat::FullHd, 1920, 1080);
    ASSERT_TRUE(fullHd.has_value());
    EXPECT_EQ(fullHd->profile, Profile::High);
    EXPECT_EQ(fullHd->level, 41);
    EXPECT_DOUBLE_EQ(fullHd->maxBitsPerSecond, 25e6);
    EXPECT_DOUBLE_EQ(fullHd->bufferBits, 30e6);

    // Asked for more than the streams as they are: filters, subtitles to draw, a cut, another container.
    const Request line = RequestOf(EncoderCommand(OutputFormat::FullHd, "/v/in.mp4", "", 1920, 1080, "/v/out.mp4"));
    const auto refused = [&line](const std::function<void(Request&, EncodeSetup&)>& change) {
        Request request = line;
        EncodeSetup setup = Mp4Setup();
        change(request, setup);
        return !CopyTargetOf(request, TranslateOutputOptions(request.outputOptions), setup).has_value();
    };
    EXPECT_FALSE(refused([](Request&, EncodeSetup&) {}));
    EXPECT_TRUE(refused([](Request&, EncodeSetup& s) { s.subtitleFilter = "subtitles=filename=a.srt"; }));
    EXPECT_TRUE(refused([](Request& r, EncodeSetup&) {
        r.outputOptions.insert(r.outputOptions.begin(), {"-vf", "null"});
    }));
    EXPECT_TRUE(refused([](Request& r, EncodeSetup&) { r.inputOptions = {"-ss", "5"}; }));
    EXPECT_TRUE(
        refused([](Request& r, EncodeSetup&) { r.outputOptions.insert(r.outputOptions.begin(), "-shortest"); }));
    EXPECT_TRUE(refused([](Request&, EncodeSetup& s) { s.format = "matroska"; }));
}

TEST(CopyRule, OnlyWhatAlreadyIsTheOutputIsCopied)
{
    const auto fullHd = TargetOf(OutputFormat::FullHd, 1920, 1080);
    const auto upright = TargetOf(OutputFormat::FullHd, 1080, 1920);
    const auto classic = TargetOf(OutputFormat::Classic, 480, 270);
    ASSERT_TRUE(fullHd && upright && classic);
    // A 480x270 clip as the classic output makes it.
    const auto small = [](SourceFacts& f) {
        Video(f).profile = "Constrained-Baseline";
        Video(f).level = 30;
        Video(f).width = 480;
        Video(f).height = 270;
        Video(f).packets = Steady(30, 4, 1'200'000 / 8 / 30);
    };
    struct Case
    {
        const char* name;
        const CopyTarget& target;
        std::function<void(SourceFacts&)> change;
        bool video;
        bool audio;
    };
    const Case cases[] = {
        {"a phone's clip", *fullHd, [](SourceFacts&) {}, true, true},
        {"Main under High", *fullHd, [](SourceFacts& f) { Video(f).profile = "Main"; }, true, true},
        {"Baseline under High", *fullHd, [](SourceFacts& f) { Video(f).profile = "Baseline"; }, true, true},
        {"turned, for the upright frame", *upright, [](SourceFacts& f) { Video(f).turned = true; }, true, true},
        {"stated aspect the video also states", *fullHd,
         [](SourceFacts& f) {
             Video(f).containerAspect = Video(f).codedAspect = {4, 3};
         },
         true, true},
        {"29.97 fps, time stamps in milliseconds", *fullHd,
         [](SourceFacts& f) {
             for (auto& p : Video(f).packets)
                 p.seconds = std::round(p.seconds * 30 / 29.97 * 1000) / 1000;
         },
         true, true},
        {"a key frame the buffer takes", *fullHd, [](SourceFacts& f) { Video(f).packets[0].bytes = 3'500'000; }, true,
         true},
        {"mono sound at 32 kHz", *fullHd,
         [](SourceFacts& f) {
             Audio(f).channels = 1;
             Audio(f).sampleRate = 32000;
         },
         true, true},
        {"no sound", *fullHd, [](SourceFacts& f) { f.streams.pop_back(); }, true, false},
        {"the classic output's own", *classic, small, true, true},

        {"HEVC", *fullHd, [](SourceFacts& f) { Video(f).codec = "hevc"; }, false, false},
        {"10-bit", *fullHd, [](SourceFacts& f) { Video(f).pixelFormat = "yuv420p10le"; }, false, false},
        {"4:2:2", *fullHd, [](SourceFacts& f) { Video(f).pixelFormat = "yuv422p"; }, false, false},
        {"High 4:4:4", *fullHd, [](SourceFacts& f) { Video(f).profile = "High-444-Predictive"; }, false, false},
        {"level 4.2", *fullHd, [](SourceFacts& f) { Video(f).level = 42; }, false, false},
        {"level 5.1", *fullHd, [](SourceFacts& f) { Video(f).level = 51; }, false, false},
        {"level unknown", *fullHd, [](SourceFacts& f) { Video(f).level = 0; }, false, false},
        {"60 fps", *fullHd, [](SourceFacts& f) { Video(f).packets = Steady(60, 4, 30'000); }, false, false},
        {"a steady 30.5 fps", *fullHd, [](SourceFacts& f) { Video(f).packets = Steady(30.5, 4, 30'000); }, false,
         false},
        {"variable rate with a fast second", *fullHd,
         [](SourceFacts& f) {
             // 45 pictures in the second from 2 s, then a pause: 29 a second on average.
             auto& p = Video(f).packets;
             p = Steady(30, 2, 30'000);
             for (int i = 0; i < 45; ++i)
                 p.push_back({2 + i / 45.0, 30'000});
             for (int i = 0; i < 30; ++i)
                 p.push_back({4 + i / 30.0, 30'000});
         },
         false, false},
        {"interlaced", *fullHd, [](SourceFacts& f) { f.streams[0].fieldOrder = "tt"; }, false, false},
        {"HLG", *fullHd, [](SourceFacts& f) { f.streams[0].transfer = "arib-std-b67"; }, false, false},
        {"full range", *fullHd, [](SourceFacts& f) { f.streams[0].range = "pc"; }, false, false},
        {"a size the rule changes", *classic,
         [&small](SourceFacts& f) {
             small(f);
             Video(f).width = 640;
             Video(f).height = 360;
         },
         false, false},
        {"narrower than the output", *fullHd, [](SourceFacts& f) { Video(f).width = 1440; }, false, false},
        {"lower than the output", *fullHd, [](SourceFacts& f) { Video(f).height = 800; }, false, false},
        {"turned, for the landscape frame", *fullHd, [](SourceFacts& f) { Video(f).turned = true; }, false, false},
        {"Main for the classic output", *classic,
         [&small](SourceFacts& f) {
             small(f);
             Video(f).profile = "Main";
         },
         false, false},
        {"level 3.1 for the classic output", *classic,
         [&small](SourceFacts& f) {
             small(f);
             Video(f).level = 31;
         },
         false, false},
        {"pixels the file and the video shape apart", *fullHd,
         [](SourceFacts& f) {
             Video(f).containerAspect = {4, 3};
         },
         false, false},
        {"peak bit rate over the cap", *fullHd, [](SourceFacts& f) { Video(f).packets = Steady(30, 4, 200'000); },
         false, false},
        {"a key frame larger than the buffer", *fullHd, [](SourceFacts& f) { Video(f).packets[0].bytes = 4'000'000; },
         false, false},
        {"starts past its key frame", *fullHd, [](SourceFacts& f) { Video(f).startsWithKeyFrame = false; }, false,
         false},
        {"pictures not read", *fullHd, [](SourceFacts& f) { Video(f).packets.clear(); }, false, false},
        {"B-frames in a file without shown times (AVI)", *fullHd, [](SourceFacts& f) { Video(f).shownTimes = false; },
         false, false},
        {"no B-frames in a file without shown times", *fullHd,
         [](SourceFacts& f) {
             Video(f).shownTimes = false;
             Video(f).reorders = false;
         },
         true, true},

        {"AC-3 sound", *fullHd, [](SourceFacts& f) { Audio(f).codec = "ac3"; }, true, false},
        {"5.1 AAC", *fullHd, [](SourceFacts& f) { Audio(f).channels = 6; }, true, false},
        {"HE-AAC", *fullHd, [](SourceFacts& f) { Audio(f).profile = "HE-AAC"; }, true, false},
        {"AAC at 22.05 kHz", *fullHd, [](SourceFacts& f) { Audio(f).sampleRate = 22050; }, true, false},
        {"AAC at 96 kHz", *fullHd, [](SourceFacts& f) { Audio(f).sampleRate = 96000; }, true, false},
        {"AAC at 384 kbit/s", *fullHd, [](SourceFacts& f) { Audio(f).bitsPerSecond = 384000; }, true, false},
        {"AAC of channels not known", *fullHd, [](SourceFacts& f) { Audio(f).channels = 0; }, true, false},
        {"AAC at a rate not known", *fullHd, [](SourceFacts& f) { Audio(f).bitsPerSecond = 0; }, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SourceFacts facts = PhoneClip();
        c.change(facts);
        const CopyPlan plan = PlanCopy(facts, c.target);
        EXPECT_EQ(plan.video, c.video);
        EXPECT_EQ(plan.audio, c.audio);
        // The facts reach the bridge as text, and mean the same there.
        const auto parsed = ParseSourceFacts(FormatSourceFacts(facts));
        ASSERT_TRUE(parsed.has_value());
        EXPECT_EQ(PlanCopy(*parsed, c.target).video, c.video);
    }
    // The probe reads the pictures of what might be copied into any output, and only that.
    SourceFacts facts = PhoneClip();
    EXPECT_TRUE(MightBeCopied(facts.streams[0]));
    Video(facts).width = 4096;
    EXPECT_FALSE(MightBeCopied(facts.streams[0]));
}

TEST(CopyRule, TheBitRateBufferHoldsNoMoreThanItsSize)
{
    // 1000 bit/s into 8000 bits; packets of 1000 bytes.
    const std::vector<PacketFacts> full = {{0, 1000}};
    const std::vector<PacketFacts> quiet = {{0, 1000}, {100, 1000}, {100.001, 1000}};
    const std::vector<PacketFacts> refilled = {{0, 1000}, {8, 1000}, {16, 1000}};
    EXPECT_TRUE(WithinRate(full, 1000, 8000)) << "exactly full";
    EXPECT_FALSE(WithinRate(full, 1000, 7999)) << "one bit over";
    EXPECT_FALSE(WithinRate(quiet, 1000, 8000)) << "a long quiet stretch fills it only to its size";
    EXPECT_TRUE(WithinRate(refilled, 1000, 8000));
    // A still minute, then 76 Mbit in one second: over Full HD's 25 Mbit/s and 30 Mbit.
    std::vector<PacketFacts> burst = Steady(30, 60, 2'000);
    for (int i = 0; i < 30; ++i)
        burst.push_back({60 + i / 30.0, 76'000'000 / 8 / 30});
    EXPECT_FALSE(WithinRate(burst, 25e6, 30e6));
}

TEST(CopyRule, SoundFasterThanTheIphonePlaysIsEncodedAtFortyEightKilohertz)
{
    const Request request = RequestOf(EncoderCommand(OutputFormat::FullHd, "/v/in.mp4", "", 1920, 1080, "/v/o.mp4"));
    const Translation translation = TranslateOutputOptions(request.outputOptions);
    EncodeSetup setup = Mp4Setup();
    for (const auto& [rate, told] : {std::pair {96000, "48000"}, {88200, "48000"}, {48000, ""}, {44100, ""}}) {
        SourceFacts facts = PhoneClip();
        Audio(facts).sampleRate = rate;
        setup.facts = facts;
        std::string line;
        for (const std::string& arg : FfmpegArguments(request, translation, setup))
            line += arg + " ";
        const size_t at = line.find(" -ar ");
        EXPECT_EQ(at == std::string::npos ? "" : line.substr(at + 5, 5), told) << line;
    }
    // Sound that is copied keeps its own rate.
    SourceFacts facts = PhoneClip();
    Audio(facts).sampleRate = 96000;
    setup.facts = facts;
    for (const std::string& arg : FfmpegArguments(request, CopyTranslation(translation, {true, true, true}), setup))
        EXPECT_NE(arg, "-ar");
}

TEST(CopyRule, ACopyKeepsTheContainersOptionsAndEncodesWhatItDoesNotCopy)
{
    const Request request = RequestOf(EncoderCommand(OutputFormat::FullHd, "/v/in.mp4", "", 1920, 1080, "/v/o.mp4"));
    const Translation translation = TranslateOutputOptions(request.outputOptions);
    EncodeSetup setup = Mp4Setup();
    setup.input = "/v/in.mp4";
    setup.partial = "/v/.o.mp4.partial";
    const auto joined = [&](const CopyPlan& plan) {
        std::string text;
        for (const std::string& arg : FfmpegArguments(request, CopyTranslation(translation, plan), setup))
            text += arg + " ";
        return text;
    };
    const std::string videoOnly = joined({true, false, true});
    EXPECT_NE(videoOnly.find("-c:v copy"), std::string::npos) << videoOnly;
    EXPECT_NE(videoOnly.find("-c:a aac -ac 2 -b:a 160k"), std::string::npos) << videoOnly;
    EXPECT_NE(videoOnly.find("-f mp4"), std::string::npos) << videoOnly;
    EXPECT_NE(videoOnly.find("-movflags +faststart"), std::string::npos) << videoOnly;
    for (const char* encoding : {"-vf", "-crf", "-maxrate", "-profile:v", "-pix_fmt", "-threads"})
        EXPECT_EQ(videoOnly.find(encoding), std::string::npos) << encoding << " in " << videoOnly;
    const std::string both = joined({true, true, true});
    EXPECT_NE(both.find("-c:a copy"), std::string::npos) << both;
    EXPECT_EQ(both.find("-b:a"), std::string::npos) << both;
    // Without sound no sound encoder is told anything.
    const std::string silent = joined({true, false, false});
    EXPECT_EQ(silent.find("-c:a"), std::string::npos) << silent;
    EXPECT_EQ(silent.find("-b:a"), std::string::npos) << silent;
}

TEST(CopyRule, TheHevcOutputCopiesTodaysPhoneClips)
{
    const auto target = TargetOf(OutputFormat::FourK, 3840, 2160);
    ASSERT_TRUE(target.has_value());
    EXPECT_TRUE(target->hevc);
    EXPECT_DOUBLE_EQ(target->maxFrameRate, 60);
    // An iPhone's 4K60 HDR clip: HEVC Main 10 at level 5.1, HLG, its parameter sets in its header, 50 Mbit/s.
    const auto phone4k = [](SourceFacts& f) {
        f.streams[0].transfer = "arib-std-b67";
        f.streams[0].primaries = "bt2020";
        Video(f).codec = "hevc";
        Video(f).profile = "Main-10";
        Video(f).level = 153;
        Video(f).pixelFormat = "yuv420p10le";
        Video(f).headerSets = true;
        Video(f).width = 3840;
        Video(f).height = 2160;
        Video(f).packets = Steady(60, 4, 50'000'000 / 8 / 60);
    };
    const auto with = [&phone4k](std::function<void(SourceFacts&)> change) {
        return [phone4k, change](SourceFacts& f) {
            phone4k(f);
            change(f);
        };
    };
    struct Case
    {
        const char* name;
        std::function<void(SourceFacts&)> change;
        bool video;
    };
    const Case cases[] = {
        {"an iPhone's 4K60 HLG clip", phone4k, true},
        {"PQ", with([](SourceFacts& f) { f.streams[0].transfer = "smpte2084"; }), true},
        {"Dolby Vision 8.4", with([](SourceFacts& f) { Video(f).dolbyVision = "8.4"; }), true},
        {"Main, SDR", with([](SourceFacts& f) {
             f.streams[0].transfer = "bt709";
             Video(f).profile = "Main";
             Video(f).pixelFormat = "yuv420p";
         }),
         true},
        {"H.264 High 5.1", with([](SourceFacts& f) {
             f.streams[0].transfer = "bt709";
             Video(f).codec = "h264";
             Video(f).profile = "High";
             Video(f).level = 51;
             Video(f).pixelFormat = "yuv420p";
         }),
         true},
        {"H.264 High 5.2", with([](SourceFacts& f) {
             f.streams[0].transfer = "bt709";
             Video(f).codec = "h264";
             Video(f).profile = "High";
             Video(f).level = 52;
             Video(f).pixelFormat = "yuv420p";
         }),
         false},
        {"H.264 in HLG", with([](SourceFacts& f) {
             Video(f).codec = "h264";
             Video(f).profile = "High-10";
             Video(f).level = 51;
         }),
         false},
        {"level 5.2", with([](SourceFacts& f) { Video(f).level = 156; }), false},
        {"120 fps", with([](SourceFacts& f) { Video(f).packets = Steady(120, 4, 50'000); }), false},
        {"4:2:2", with([](SourceFacts& f) { Video(f).pixelFormat = "yuv422p10le"; }), false},
        {"12-bit", with([](SourceFacts& f) { Video(f).pixelFormat = "yuv420p12le"; }), false},
        {"range extensions", with([](SourceFacts& f) { Video(f).profile = "Rext"; }), false},
        {"hev1 without its parameter sets in the header", with([](SourceFacts& f) { Video(f).headerSets = false; }),
         false},
        {"AV1", with([](SourceFacts& f) { Video(f).codec = "av1"; }), false},
        {"VP9", with([](SourceFacts& f) { Video(f).codec = "vp9"; }), false},
        {"interlaced", with([](SourceFacts& f) { f.streams[0].fieldOrder = "tt"; }), false},
        {"4096 wide, which the output shrinks", with([](SourceFacts& f) { Video(f).width = 4096; }), false},
        {"over the output's 100 Mbit/s", with([](SourceFacts& f) { Video(f).packets = Steady(60, 4, 300'000); }),
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SourceFacts facts = PhoneClip();
        c.change(facts);
        EXPECT_EQ(PlanCopy(facts, *target).video, c.video);
        const auto parsed = ParseSourceFacts(FormatSourceFacts(facts));
        ASSERT_TRUE(parsed.has_value());
        EXPECT_EQ(PlanCopy(*parsed, *target).video, c.video);
        if (c.video) {
            EXPECT_TRUE(MightBeCopied(facts.streams[0]));
        }
    }
    // HEVC is no H.264 output's.
    SourceFacts facts = PhoneClip();
    phone4k(facts);
    const auto fullHd = TargetOf(OutputFormat::FullHd, 3840, 2160);
    ASSERT_TRUE(fullHd.has_value());
    EXPECT_FALSE(PlanCopy(facts, *fullHd).video);
}
