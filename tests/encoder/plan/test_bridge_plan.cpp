// The plan of an encode, without a process: the program's command lines, their translation for the
// installed ffmpeg, the filter chain and its escaping, the subtitles' character set.
#include "encoder/plan/Arguments.h"
#include "encoder/plan/FfmpegArguments.h"
#include "encoder/plan/FilterChain.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace {

using Words = std::vector<std::string>;

// The program's fixed encoder options, after "-i SRC" and before the output.
Words FixedOptions(bool capRate)
{
    Words words;
    if (capRate)
        words = {"-r", "30"};
    const Words rest = {"-f",       "mp4",     "-vcodec",     "libx264",
                        "-crf",     "21",      "-subq",       "4",
                        "-level",   "30",      "-refs",       "2",
                        "-me",      "hex",     "-partitions", "+parti4x4+partp4x4+partp8x8+partb8x8",
                        "-s",       "480x360", "-bufsize",    "4M",
                        "-maxrate", "1.5M",    "-g",          "250",
                        "-coder",   "0",       "-threads",    "auto",
                        "-acodec",  "libfaac", "-ac",         "2",
                        "-ab",      "128k"};
    words.insert(words.end(), rest.begin(), rest.end());
    return words;
}

// The value following `name` in a translated option list, or "<absent>".
std::string ValueOf(const Words& options, const std::string& name)
{
    for (size_t i = 0; i + 1 < options.size(); ++i)
        if (options[i] == name)
            return options[i + 1];
    return "<absent>";
}

TEST(BridgePlan, CommandLinesOfTheProgram)
{
    const Request probe = ParseArguments({"-i", "C:/clip.avi"});
    EXPECT_EQ(probe.mode, Request::Mode::Probe);
    EXPECT_EQ(probe.input, "C:/clip.avi");

    Words encodeLine = {"-y", "-i", "in.avi"};
    const Words options = FixedOptions(true);
    encodeLine.insert(encodeLine.end(), options.begin(), options.end());
    encodeLine.push_back("-out.mp4"); // the last word is the output, whatever it starts with
    const Request encode = ParseArguments(encodeLine);
    ASSERT_EQ(encode.mode, Request::Mode::Encode) << encode.error;
    EXPECT_TRUE(encode.overwrite);
    EXPECT_EQ(encode.input, "in.avi");
    EXPECT_EQ(encode.output, "-out.mp4");
    EXPECT_EQ(encode.outputOptions, options);
    EXPECT_TRUE(encode.inputOptions.empty());

    const Request paced = ParseArguments({"-re", "-i", "in.avi", "out.mp4"});
    EXPECT_EQ(paced.inputOptions, Words {"-re"});
    EXPECT_FALSE(paced.overwrite);

    for (const Words& bad : {Words {}, Words {"-i"}, Words {"-i", "a", "-i", "b", "c"}, Words {"stray", "-i", "a"},
                             Words {"-i", "a", "b", "c"}}) {
        const Request request = ParseArguments(bad);
        EXPECT_EQ(request.mode, Request::Mode::Invalid);
        EXPECT_FALSE(request.error.empty());
    }
}

TEST(BridgePlan, FixedOptionsTranslateForTheInstalledFfmpeg)
{
    const Translation t = TranslateOutputOptions(FixedOptions(false));
    EXPECT_EQ(t.format, "mp4");
    EXPECT_EQ(t.videoCodec, "libx264");
    ASSERT_TRUE(t.size.has_value());
    EXPECT_EQ(t.size->width, 480);
    EXPECT_EQ(t.size->height, 360);
    EXPECT_EQ(ValueOf(t.options, "-s"), "<absent>"); // the size goes into the filter chain
    EXPECT_EQ(ValueOf(t.options, "-c:a"), "aac"); // libfaac is gone from current builds
    EXPECT_EQ(ValueOf(t.options, "-b:a"), "128k");
    EXPECT_EQ(ValueOf(t.options, "-motion-est"), "hex");
    EXPECT_EQ(ValueOf(t.options, "-partitions"), "i4x4,p4x4,p8x8,b8x8");
    EXPECT_EQ(ValueOf(t.options, "-me"), "<absent>");
    for (const char* kept : {"-crf", "-subq", "-level", "-refs", "-bufsize", "-maxrate", "-g", "-coder", "-threads"})
        EXPECT_NE(ValueOf(t.options, kept), "<absent>") << kept;
    EXPECT_EQ(ValueOf(t.options, "-coder"), "0");
    // No B-frame option and CAVLC: the profile older encoders made by default.
    EXPECT_EQ(ValueOf(t.options, "-profile:v"), "baseline");
    EXPECT_EQ(ValueOf(TranslateOutputOptions({"-c:v", "libx264", "-coder", "1"}).options, "-bf"), "0");
    EXPECT_EQ(ValueOf(TranslateOutputOptions({"-c:v", "libx264", "-coder", "0", "-bf", "2"}).options, "-profile:v"),
              "<absent>");
    EXPECT_EQ(ValueOf(TranslateOutputOptions({"-c:v", "mpeg4", "-coder", "0"}).options, "-profile:v"), "<absent>");
    // The old names of the video profile; a bare -profile would reach the audio encoder as well.
    for (const char* name : {"-vprofile", "-profile", "-profile:v"}) {
        const Translation high = TranslateOutputOptions({"-c:v", "libx264", name, "high"});
        EXPECT_EQ(high.options, Words({"-c:v", "libx264", "-profile:v", "high"})) << name;
    }

    // Odd sides are made even for 4:2:0; a size that is no size is left for ffmpeg to refuse.
    const Translation odd = TranslateOutputOptions({"-s", "321x241"});
    ASSERT_TRUE(odd.size.has_value());
    EXPECT_EQ(odd.size->width, 320);
    EXPECT_EQ(odd.size->height, 240);
    for (const char* notASize : {"x480", "480x", "480x360p", "1x1", "99999x2"}) {
        const Translation t2 = TranslateOutputOptions({"-s", notASize});
        EXPECT_FALSE(t2.size.has_value()) << notASize;
        EXPECT_EQ(ValueOf(t2.options, "-s"), notASize);
    }
}

TEST(BridgePlan, FilterChainAndItsEscaping)
{
    Translation t = TranslateOutputOptions({"-s", "480x360", "-vf", "hflip"});
    EXPECT_EQ(BuildVideoFilters(t, ""), "hflip,scale=480:360");
    EXPECT_EQ(BuildVideoFilters(t, "subtitles=x"), "hflip,scale=480:360,subtitles=x");
    EXPECT_EQ(BuildVideoFilters(TranslateOutputOptions({}), ""), "scale=trunc(iw/2)*2:trunc(ih/2)*2");

    // The frame-rate cap drops frames before anything else works on them.
    const Translation capped = TranslateOutputOptions({"-r", "30", "-s", "480x360", "-vf", "hflip"});
    EXPECT_EQ(ValueOf(capped.options, "-r"), "<absent>");
    EXPECT_EQ(BuildVideoFilters(capped, "subtitles=x"), "fps=fps=30:round=near,hflip,scale=480:360,subtitles=x");
    EXPECT_EQ(BuildVideoFilters(TranslateOutputOptions({"-r", "30000/1001"}), "").substr(0, 18), "fps=fps=30000/1001");

    // A value is escaped for its option first, then the whole filter for the graph.
    EXPECT_EQ(EscapeFilterValue("/a:b/it's\\x"), "/a\\:b/it\\'s\\\\x");
    EXPECT_EQ(EscapeFilterGraph("f=a\\:b,c;[d]"), "f=a\\\\:b\\,c\\;\\[d\\]");
}

TEST(BridgePlan, OnlyInterlacedHdrOrMultiTrackSourcesChangeWhatFfmpegIsTold)
{
    Words args = {"-y", "-i", "in.mkv"};
    const Words fixedOptions = FixedOptions(false);
    args.insert(args.end(), fixedOptions.begin(), fixedOptions.end());
    args.push_back("out.mp4");
    const Request request = ParseArguments(args);
    const Translation translation = TranslateOutputOptions(request.outputOptions);
    EncodeSetup setup {"/v/in.mkv", "/v/.out.mp4.partial", "mp4", "", std::nullopt};
    const Words unknown = FfmpegArguments(request, translation, setup);
    EXPECT_EQ(ValueOf(unknown, "-vf"), "scale=480:360");

    // A progressive SDR source with one sound track gets exactly what an undescribed one gets.
    setup.facts = ParseSourceFacts("stream video default=1 field=progressive transfer=bt709 primaries=bt709 "
                                   "seconds=8\nstream audio default=1 seconds=8\n");
    EXPECT_EQ(FfmpegArguments(request, translation, setup), unknown);

    // All four field orders are interlaced (capture tools write "bt" for PAL DV and MPEG-2); a progressive
    // picture and one whose order is not stated are left as they are.
    for (const std::string field : {"tt", "bb", "tb", "bt", "progressive", ""}) {
        setup.facts = ParseSourceFacts("stream video default=1 field=" + field + "\n");
        const std::string filters = ValueOf(FfmpegArguments(request, translation, setup), "-vf");
        EXPECT_EQ(filters.rfind("bwdif=", 0) == 0, field.size() == 2) << field << ": " << filters;
    }

    setup.facts = ParseSourceFacts("stream video default=1 field=bb transfer=smpte2084 primaries=bt2020\n"
                                   "stream audio default=0\nstream audio default=1\n");
    const Words fixed = FfmpegArguments(request, translation, setup);
    const std::string filters = ValueOf(fixed, "-vf");
    EXPECT_EQ(filters.rfind("bwdif=mode=send_frame:", 0), 0u) << filters;
    const size_t toneMap = filters.find("tonemap=");
    EXPECT_NE(toneMap, std::string::npos) << filters;
    EXPECT_LT(toneMap, filters.find("scale=480:360")) << filters;
    // Brought to its output size on its way into linear light, ahead of the costly steps; not under the user's
    // own filters, which expect the picture at its own size.
    EXPECT_LT(filters.find(":w=480:h=360:"), filters.find(":t=linear")) << filters;
    Translation userFilters = translation;
    userFilters.videoFilters = "hflip";
    EXPECT_EQ(ValueOf(FfmpegArguments(request, userFilters, setup), "-vf").find(":w="), std::string::npos);
    EXPECT_EQ(ValueOf(fixed, "-color_trc"), "bt709");
    EXPECT_EQ(ValueOf(fixed, "-colorspace"), "bt709");
    const auto map = std::find(fixed.begin(), fixed.end(), "-map");
    ASSERT_LT(map + 3, fixed.end());
    EXPECT_EQ(map[3], "0:a:1"); // the second "-map"
}

TEST(BridgePlan, SubtitleCharacterSetFollowsTheByteOrderMark)
{
    EXPECT_EQ(SubtitleCharacterSet("\xC3\x89t\xC3\xA9"), "");
    EXPECT_EQ(SubtitleCharacterSet("\xC9t\xE9"), "CP1252");
    EXPECT_EQ(SubtitleCharacterSet(std::string("\xFF\xFE\xC9\0t\0\xE9\0", 8)), ""); // UTF-16 LE "Été"
    EXPECT_EQ(SubtitleCharacterSet(std::string("\xFE\xFF\0\xC9\0t\0\xE9", 8)), ""); // UTF-16 BE
    EXPECT_EQ(SubtitleCharacterSet("\xEF\xBB\xBF\xC3\x89t\xC3\xA9"), "");
    EXPECT_EQ(SubtitleCharacterSet(""), "");
}

TEST(BridgePlan, Utf8CheckRefusesWhatIsNotUtf8)
{
    EXPECT_TRUE(IsValidUtf8("plain"));
    EXPECT_TRUE(IsValidUtf8("\xC3\x89t\xC3\xA9 \xE6\x97\xA5 \xF0\x9F\x8E\xAC"));
    EXPECT_FALSE(IsValidUtf8("\xC9t\xE9")); // Windows-1252 "Été"
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF")); // overlong
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80")); // a surrogate
    EXPECT_FALSE(IsValidUtf8("\xE6\x97")); // cut short
}

} // namespace

TEST(BridgePlan, TheHevcOutputKeepsHdrAndASurroundTrack)
{
    const Request request
        = ParseArguments({"-y",      "-i",      "in.mkv",  "-f",  "mp4", "-vcodec",   "libx265",  "-crf",   "26",
                          "-preset", "fast",    "-level",  "51",  "-s",  "3840x2160", "-bufsize", "120M",   "-maxrate",
                          "100M",    "-acodec", "libfaac", "-ac", "2",   "-ab",       "160k",     "out.mp4"});
    const Translation translation = TranslateOutputOptions(request.outputOptions);
    EncodeSetup setup {"/v/in.mkv", "/v/.out.mp4.partial", "mp4", "", std::nullopt};
    const auto told = [&](const std::string& facts) {
        setup.facts = ParseSourceFacts(facts);
        std::string text;
        for (const std::string& arg : FfmpegArguments(request, translation, setup))
            text += arg + " ";
        return text;
    };
    const auto has = [](const std::string& text, const std::string& part) {
        return text.find(part) != std::string::npos;
    };
    const std::string sdr = told("stream video default=1 field=progressive transfer=bt709\nstream audio default=1\n"
                                 "coding codec=aac profile=LC\n");
    for (const char* part :
         {"-pix_fmt yuv420p -profile:v main ",
          "-x265-params log-level=error:level-idc=51:high-tier=0:vbv-maxrate=40000:vbv-bufsize=40000 ", "-tag:v hvc1 ",
          "-c:a aac -ac 2 -b:a 160k "})
        EXPECT_TRUE(has(sdr, part)) << part << " in " << sdr;
    EXPECT_FALSE(has(sdr, "-map 0:a:0? -map 0:a:0")) << sdr;

    // HLG stays HLG in Main 10, never tone-mapped.
    const std::string hlg = told("stream video default=1 field=progressive transfer=arib-std-b67 primaries=bt2020 "
                                 "matrix=bt2020nc\n");
    for (const char* part : {"-pix_fmt yuv420p10le -profile:v main10 ", "-color_trc arib-std-b67 ",
                             "-color_primaries bt2020 ", "-colorspace bt2020nc "})
        EXPECT_TRUE(has(hlg, part)) << part << " in " << hlg;
    EXPECT_FALSE(has(hlg, "tonemap")) << hlg;
    // PQ keeps the mastering display and light levels its file states, in x265's order G, B, R.
    const std::string pq = told("stream video default=1 field=progressive transfer=smpte2084 primaries=bt2020\n"
                                "coding codec=hevc mastering=13250-34500-7500-3000-34000-16000-15635-16450-10000000-50 "
                                "light=1000-400\n");
    EXPECT_TRUE(has(pq, "-color_trc smpte2084 ")) << pq;
    EXPECT_TRUE(has(pq,
                    ":hdr10=1:hdr10-opt=1:master-display=G(13250,34500)B(7500,3000)R(34000,16000)"
                    "WP(15635,16450)L(10000000,50):max-cll=1000,400 "))
        << pq;
    // AC-3 is kept as a second track beside its AAC stereo, which stays the default.
    const std::string surround = told("stream video default=1\nstream audio default=1\ncoding codec=ac3 channels=6\n");
    for (const char* part : {"-map 0:a:0? -map 0:a:0 ", "-c:a:0 aac -ac:a:0 2 -b:a:0 160k ", "-c:a:1 copy ",
                             "-disposition:a:0 default -disposition:a:1 0 "})
        EXPECT_TRUE(has(surround, part)) << part << " in " << surround;
    // Only the HEVC output keeps it.
    const Request fullHd
        = ParseArguments({"-y", "-i", "in.mkv", "-vcodec", "libx264", "-acodec", "libfaac", "out.mp4"});
    setup.facts = ParseSourceFacts("stream video default=1\nstream audio default=1\ncoding codec=ac3 channels=6\n");
    for (const std::string& arg : FfmpegArguments(fullHd, TranslateOutputOptions(fullHd.outputOptions), setup))
        EXPECT_NE(arg, "-c:a:1");

    // A copied HEVC video is written as hvc1, with its Dolby Vision record.
    Translation copy = translation;
    copy.videoCodec = "copy";
    setup.facts = ParseSourceFacts("stream video default=1\ncoding codec=hevc tag=hev1 dolby-vision=8.4\n");
    std::string copied;
    for (const std::string& arg : FfmpegArguments(request, copy, setup))
        copied += arg + " ";
    EXPECT_TRUE(has(copied, "-tag:v hvc1 -strict unofficial ")) << copied;
    EXPECT_FALSE(has(copied, "-x265-params")) << copied;
}
