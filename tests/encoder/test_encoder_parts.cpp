// The bridge's parts that need no process: command line, option translation, progress, messages, probe texts,
// the subtitle script.
#include "conversion/MediaInfo.h"
#include "encoder/Arguments.h"
#include "encoder/CaptureFacts.h"
#include "encoder/Encode.h"
#include "encoder/FailureReason.h"
#include "encoder/FfmpegLog.h"
#include "encoder/FilterChain.h"
#include "encoder/MessageFilter.h"
#include "encoder/OutputCheck.h"
#include "encoder/ProbeText.h"
#include "encoder/Progress.h"
#include "encoder/SubtitleScriptReader.h"
#include "encoder/TempOutput.h"
#include "text/TextReading.h"

#include <QDir>
#include <QString>
#include <QTemporaryDir>
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <unistd.h>
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

TEST(EncoderParts, CommandLinesOfTheProgram)
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

TEST(EncoderParts, FixedOptionsTranslateForTheInstalledFfmpeg)
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

TEST(EncoderParts, FilterChainAndItsEscaping)
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

TEST(EncoderParts, OnlyInterlacedHdrOrMultiTrackSourcesChangeWhatFfmpegIsTold)
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

TEST(EncoderParts, RecordingDatesAsFilesStateThem)
{
    const long long may1 = 1714557600; // 2024-05-01 10:00:00 UTC
    // The zone is kept only where the text names one.
    const std::pair<const char*, std::optional<int>> stated[]
        = {{"2024-05-01T12:00:00+0200", 120},     {"2024-05-01T12:00:00.5+02:00", 120},
           {"2024-05-01T03:00-07", -420},         {"2024-05-01T10:00:00.000000Z", std::nullopt},
           {"2024:05:01 10:00:00", std::nullopt}, {" 2024-05-01 10:00 ", std::nullopt}};
    for (const auto& [text, offset] : stated) {
        const auto time = ParseStatedTime(text);
        ASSERT_TRUE(time) << text;
        EXPECT_EQ(time->utcSeconds, may1) << text;
        EXPECT_EQ(time->offsetMinutes, offset) << text;
    }
    // A year alone (a song's), an impossible day, a clock never set, a zone beyond any on Earth.
    for (const char* text : {"2024", "2023-02-29", "1970-01-01T00:00:00Z", "2024-05-01T10:00:00+1900", "yesterday"})
        EXPECT_FALSE(ParseStatedTime(text)) << text;
    // Apple's date keeps its zone and wins over the container's; a malformed place is passed over, a name made one
    // line.
    const CaptureFacts facts = ReadCaptureFacts({{"creation_time", "2024-05-01T09:59:58.000000Z"},
                                                 {"com.apple.quicktime.creationdate", "2024-05-01T12:00:00+0200"},
                                                 {"com.apple.quicktime.location.iso6709", "somewhere nice"},
                                                 {"location", "+37.7749-122.4194/"},
                                                 {"model", "Pixel\n8\n"}},
                                                {});
    EXPECT_EQ(facts.utcSeconds, may1);
    EXPECT_EQ(facts.offsetMinutes, 120);
    EXPECT_EQ(facts.place, "+37.7749-122.4194/");
    EXPECT_EQ(facts.model, "Pixel 8");
    EXPECT_TRUE(facts.make.empty());
    // Else the video track's own time; a year alone is no date.
    EXPECT_EQ(ReadCaptureFacts({{"date", "2024"}}, {{"creation_time", "2024-05-01T10:00:00Z"}}).utcSeconds, may1);
    EXPECT_TRUE(ReadCaptureFacts({{"date", "2024"}, {"title", "x"}}, {}).empty());
}

TEST(EncoderParts, CaptureFactsAtTheEdgesOfZonesClocksAndPlaces)
{
    // Zones with minutes either side of UTC and the farthest ones, each at 2024-05-01 10:00 UTC.
    const std::pair<const char*, const char*> zones[] = {{"2024-05-01T07:30:00-02:30", "2024-05-01T07:30:00-0230"},
                                                         {"2024-05-01T06:30-03:30", "2024-05-01T06:30:00-0330"},
                                                         {"2024-05-01T00:30:00-0930", "2024-05-01T00:30:00-0930"},
                                                         {"2024-05-01T15:45:00+05:45", "2024-05-01T15:45:00+0545"},
                                                         {"2024-05-02T00:00:00+14:00", "2024-05-02T00:00:00+1400"},
                                                         {"2024-04-30T22:00:00-12:00", "2024-04-30T22:00:00-1200"}};
    for (const auto& [text, written] : zones) {
        const auto time = ParseStatedTime(text);
        ASSERT_TRUE(time) << text;
        EXPECT_EQ(time->utcSeconds, 1714557600) << text;
        EXPECT_EQ(FormatStatedTime(time->utcSeconds, time->offsetMinutes), written) << text;
    }
    // A clock never set reads some time on 1970-01-01, in whatever zone.
    for (const char* text : {"1970-01-01T00:03:27Z", "1970-01-01 23:59:59", "1970-01-01T20:00:00-05:00", "1970-01-01",
                             "1969-12-31T23:00:00Z"})
        EXPECT_FALSE(ParseStatedTime(text)) << text;
    EXPECT_EQ(ParseStatedTime("1970-01-02T00:00:00Z").value_or(StatedTime {}).utcSeconds, 86400);
    // A date alone stays that day where the file is converted, east or west.
    const std::string zone = std::getenv("TZ") ? std::getenv("TZ") : "";
    for (const char* here :
         {"America/New_York", "America/St_Johns", "Etc/GMT+12", "Asia/Tokyo", "Pacific/Kiritimati"}) {
        ::setenv("TZ", here, 1);
        ::tzset();
        const auto day = ParseStatedTime("2021-07-04");
        ASSERT_TRUE(day) << here;
        EXPECT_FALSE(day->offsetMinutes) << here;
        EXPECT_EQ(FormatStatedTime(day->utcSeconds, LocalOffsetMinutes(day->utcSeconds)).substr(0, 19),
                  "2021-07-04T00:00:00")
            << here;
    }
    zone.empty() ? ::unsetenv("TZ") : ::setenv("TZ", zone.c_str(), 1);
    ::tzset();
    // Altitudes of 1 to 5 digits, below the sea, or none; then places that are no ISO 6709.
    for (const char* place : {"+48.8584+002.2945+5/", "+48.8584+002.2945+035.000/", "+39.7392-104.9903+1609.000/",
                              "+35.6812+139.7671+10668/", "+31.5590+035.4732-430.500/", "+48.8584+002.2945/",
                              "+4851+00217/", "+48.8584+002.2945+035CRSWGS_84/"})
        EXPECT_EQ(ReadCaptureFacts({{"location", place}}, {}).place, place);
    for (const char* place :
         {"+48.8584/", "48.8584+002.2945/", "+48.8584+002.2945+35+1/", "+48.+002.2945/", "+48.8584 +002.2945/",
          "+48.8584+002.2945+12345678/", "+48.8584+002.2945CRS/", "+48.8584+002.2945CRSwgs/", "+48.8584+002.2945x"})
        EXPECT_EQ(ReadCaptureFacts({{"location", place}}, {}).place, "") << place;
}

TEST(EncoderParts, ProgressBlocksBecomeReportsTheProgramReads)
{
    const std::string stream = "frame=25\nfps=0.0\nbitrate= 838.9kbits/s\ntotal_size=1048576\nout_time_us=12500000\n"
                               "out_time=00:00:12.500000\nprogress=continue\n"
                               "bitrate=N/A\ntotal_size=N/A\nout_time_us=N/A\nprogress=continue\n"
                               "bitrate=900.0kbits/s\ntotal_size=2097152\nout_time_us=20000000\nprogress=end\n";
    // Split at awkward places: the reader must not care where the pipe cut the stream.
    ProgressReader reader;
    std::vector<ProgressFigures> blocks;
    for (size_t at = 0; at < stream.size(); at += 7)
        for (const auto& block : reader.Feed(std::string_view(stream).substr(at, 7)))
            blocks.push_back(block);
    ASSERT_EQ(blocks.size(), 3u);
    EXPECT_DOUBLE_EQ(blocks[0].seconds, 12.5);
    EXPECT_DOUBLE_EQ(blocks[0].sizeBytes, 1048576);
    EXPECT_DOUBLE_EQ(blocks[0].kbitsPerSecond, 838.9);
    EXPECT_FALSE(blocks[0].end);
    // Unknown figures keep the last known ones; the rate is worked out from size and time.
    EXPECT_DOUBLE_EQ(blocks[1].seconds, 12.5);
    EXPECT_NEAR(blocks[1].kbitsPerSecond, 1048576 * 8 / 12.5 / 1000, 1e-9);
    EXPECT_TRUE(blocks[2].end);

    const std::string report = FormatReport(blocks[0]);
    EXPECT_EQ(report, "size=    1024kB time=12.50 bitrate= 838.9kbits/s");
    const QString position = ExtractBetween(QString::fromStdString(report), "kB time=", " bitrate=");
    EXPECT_EQ(TimeToSeconds(position).value_or(-1), 12.5);
    EXPECT_EQ(FormatReport(ProgressFigures {}), "size=       0kB time=0.00 bitrate=   0.0kbits/s");
}

TEST(EncoderParts, WarningFloodIsFoldedIntoOneCount)
{
    // A damaged stream: the same complaint for every frame, only the numbers (and the address) differ.
    std::string flood;
    for (int i = 0; i < 1000; ++i)
        flood += "[mpeg4 @ 0x55d0c2a3b" + std::to_string(400 + i) + "] ac-tex damaged at " + std::to_string(i % 17)
            + " " + std::to_string(i % 13) + "\n";
    MessageFilter filter;
    std::string shown;
    for (size_t at = 0; at < flood.size(); at += 333)
        shown += filter.Feed(std::string_view(flood).substr(at, 333));
    shown += filter.Finish();
    EXPECT_EQ(shown, "[mpeg4 @ 0x55d0c2a3b400] ac-tex damaged at 0 0\n    Last message repeated 999 times\n");

    // A different message ends the run and shows up after its count.
    MessageFilter pair;
    std::string two = pair.Feed("error 1\rerror 2\r\nerror 3\nother\n");
    two += pair.Finish();
    EXPECT_EQ(two, "error 1\n    Last message repeated 2 times\nother\n");
}

TEST(EncoderParts, DistinctMessagesAreCappedAndLongLinesCut)
{
    MessageFilter filter(5, 20);
    std::string shown;
    const char* words[] = {"alpha", "beta", "gamma", "delta", "epsilon", "zeta", "eta", "theta"};
    for (const char* word : words)
        shown += filter.Feed(std::string("warning: ") + word + "\n");
    shown += filter.Feed(std::string(50, 'x')); // no line end yet, but longer than a line may be
    shown += filter.Finish();
    EXPECT_EQ(shown,
              "warning: alpha\nwarning: beta\nwarning: gamma\nwarning: delta\nwarning: epsilon\n"
              "    (4 more messages not shown)\n");

    MessageFilter wide(100, 20);
    EXPECT_EQ(wide.Feed(std::string(50, 'x')), std::string(20, 'x') + "...\n");
    EXPECT_EQ(wide.Feed("  \t \n"), ""); // blank lines are dropped
}

TEST(EncoderParts, DurationLineCutsHundredthsSoWholeSecondsNeverRoundUp)
{
    struct Case
    {
        long long microseconds;
        const char* text;
        const char* wholeSeconds; // as the program reads the line back
    };
    const Case cases[] = {
        {83456000, "00:01:23.45", "83"},          {83999999, "00:01:23.99", "83"}, {59996000, "00:00:59.99", "59"},
        {3600000000, "01:00:00.00", "3600"},      {0, "00:00:00.00", "0"},         {-40000, "00:00:00.00", "0"},
        {360000000000, "100:00:00.00", "360000"}, {9990, "00:00:00.00", "0"},      {10000, "00:00:00.01", "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.microseconds);
        EXPECT_EQ(DurationText(c.microseconds), c.text);
        const QString probe = QString("  Duration: %1, start: 0.000000, bitrate: 100 kb/s\n"
                                      "    Stream #0.0: Video: h264, yuv420p, 640x480 [PAR 1:1 DAR 4:3], 25 tb(r)\n")
                                  .arg(QString::fromStdString(DurationText(c.microseconds)));
        EXPECT_EQ(ParseProbeOutput(probe).section('|', 0, 0).toStdString(), c.wholeSeconds);
    }
    EXPECT_EQ(StartText(0), "0.000000");
    EXPECT_EQ(StartText(1500000), "1.500000");
    EXPECT_EQ(StartText(-21333), "-0.021333");
}

TEST(EncoderParts, RatesInTheirShortestForm)
{
    EXPECT_EQ(RateText(25), "25");
    EXPECT_EQ(RateText(30000.0 / 1001), "29.97");
    EXPECT_EQ(RateText(24000.0 / 1001), "23.976");
    EXPECT_EQ(RateText(12.5), "12.5");
    EXPECT_EQ(RateText(0), "0");
}

TEST(EncoderParts, SubtitleScriptAsTheProgramWritesIt)
{
    const ScriptCalls calls = ParseSubtitleScript("DirectShowSource(\"C:\\v\\Holiday \"2\".avi\")\r\n"
                                                  "LoadPlugin (\"/prog/VSFilter.dll\")\r\n"
                                                  "TextSub (\"/v/Holiday.srt\")");
    EXPECT_EQ(calls.source.value_or("<none>"), "C:\\v\\Holiday \"2\".avi"); // first to last quote of the line
    EXPECT_EQ(calls.plugin.value_or("<none>"), "/prog/VSFilter.dll");
    EXPECT_EQ(calls.subtitles.value_or("<none>"), "/v/Holiday.srt");

    // A byte-order mark, other cases, blanks and plain line feeds are all read.
    const ScriptCalls loose = ParseSubtitleScript("\xEF\xBB\xBF  directshowsource  (\"a.avi\")\n"
                                                  "textsub(\"a.srt\")\n");
    EXPECT_EQ(loose.source.value_or("<none>"), "a.avi");
    EXPECT_FALSE(loose.plugin.has_value());
    EXPECT_EQ(loose.subtitles.value_or("<none>"), "a.srt");

    for (const char* broken : {"", "DirectShowSource", "DirectShowSource(\"a.avi)", "DirectShowSourcex(\"a\")",
                               "# DirectShowSource(\"a.avi\")"}) {
        EXPECT_FALSE(ParseSubtitleScript(broken).source.has_value()) << broken;
    }
    EXPECT_TRUE(IsSubtitleScriptName("/p/tmp.AVS"));
    EXPECT_FALSE(IsSubtitleScriptName(".avs"));
    EXPECT_FALSE(IsSubtitleScriptName("tmp.avs.mp4"));
}

TEST(EncoderParts, SubtitleCharacterSetFollowsTheByteOrderMark)
{
    EXPECT_EQ(SubtitleCharacterSet("\xC3\x89t\xC3\xA9"), "");
    EXPECT_EQ(SubtitleCharacterSet("\xC9t\xE9"), "CP1252");
    EXPECT_EQ(SubtitleCharacterSet(std::string("\xFF\xFE\xC9\0t\0\xE9\0", 8)), ""); // UTF-16 LE "Été"
    EXPECT_EQ(SubtitleCharacterSet(std::string("\xFE\xFF\0\xC9\0t\0\xE9", 8)), ""); // UTF-16 BE
    EXPECT_EQ(SubtitleCharacterSet("\xEF\xBB\xBF\xC3\x89t\xC3\xA9"), "");
    EXPECT_EQ(SubtitleCharacterSet(""), "");
}

TEST(EncoderParts, Utf8CheckRefusesWhatIsNotUtf8)
{
    EXPECT_TRUE(IsValidUtf8("plain"));
    EXPECT_TRUE(IsValidUtf8("\xC3\x89t\xC3\xA9 \xE6\x97\xA5 \xF0\x9F\x8E\xAC"));
    EXPECT_FALSE(IsValidUtf8("\xC9t\xE9")); // Windows-1252 "Été"
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF")); // overlong
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80")); // a surrogate
    EXPECT_FALSE(IsValidUtf8("\xE6\x97")); // cut short
}

} // namespace

namespace {

std::string Be32(uint32_t v)
{
    return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8), static_cast<char>(v)};
}

std::string Box(const std::string& type, const std::string& body)
{
    return Be32(static_cast<uint32_t>(body.size() + 8)) + type + body;
}

// A version-0 "mvhd" or "mdhd" body: version and flags, two times, time scale, duration, then padding.
std::string TimeHeader(uint32_t scale, uint32_t duration)
{
    return Be32(0) + Be32(0) + Be32(0) + Be32(scale) + Be32(duration) + std::string(80, '\0');
}

std::string Track(const std::string& handler, uint32_t scale, uint32_t duration)
{
    const std::string hdlr = Be32(0) + Be32(0) + handler + std::string(12, '\0') + "name";
    return Box("trak",
               Box("tkhd", std::string(84, '\0'))
                   + Box("mdia", Box("mdhd", TimeHeader(scale, duration)) + Box("hdlr", hdlr)));
}

TEST(EncoderParts, MovieIndexGivesDurationAndTracks)
{
    const std::string moov = Box("mvhd", TimeHeader(1000, 8040)) + Track("vide", 15360, 122880)
        + Track("soun", 44100, 354624) + Box("udta", "x");
    const auto facts = ParseMovieBox(moov);
    ASSERT_TRUE(facts.has_value());
    EXPECT_DOUBLE_EQ(facts->seconds, 8.04);
    EXPECT_EQ(facts->videoTracks, 1);
    EXPECT_EQ(facts->audioTracks, 1);
    EXPECT_DOUBLE_EQ(facts->videoSeconds, 8.0);

    // 64-bit sizes and version-1 headers, as long files have them.
    std::string v1 = Be32(0x01000000) + std::string(16, '\0') + Be32(600) + Be32(0) + Be32(6000);
    v1 += std::string(80, '\0');
    const std::string large = Be32(1) + "mvhd" + Be32(0) + Be32(static_cast<uint32_t>(v1.size() + 16)) + v1;
    const auto longFile = ParseMovieBox(large);
    ASSERT_TRUE(longFile.has_value());
    EXPECT_DOUBLE_EQ(longFile->seconds, 10.0);
    EXPECT_EQ(longFile->videoTracks, 0);

    // Broken indexes are refused, never read past their end.
    EXPECT_FALSE(ParseMovieBox("").has_value()); // no movie header
    EXPECT_FALSE(ParseMovieBox(moov.substr(0, moov.size() - 1)).has_value());
    EXPECT_FALSE(ParseMovieBox(Box("mvhd", TimeHeader(0, 10))).has_value()); // no time scale
    EXPECT_FALSE(ParseMovieBox(Box("mvhd", std::string(3, '\0'))).has_value());
    std::string oversized = moov;
    oversized[2] = '\x7f'; // the header claims more than there is
    EXPECT_FALSE(ParseMovieBox(oversized).has_value());
}

} // namespace

TEST(EncoderParts, FfmpegLogKeepsWarningsAndReadsTheDeclaredDuration)
{
    const std::string output = "[warning] Guessed Channel Layout for Input Stream #0.1 : mono\n"
                               "[info] Input #0, mov,mp4,m4a,3gp,3g2,mj2, from 'file:/v/a.mp4':\n"
                               "[info]   Metadata:\n"
                               "[info]     Duration        : 00:09:99.00\n"
                               "[info]   Duration: 00:01:08.25, start: 0.000000, bitrate: 789 kb/s\n"
                               "[info]   Stream #0:0(und): Video: h264\n"
                               "[mov,mp4 @ 0x55d0] [error] stream 1, offset 0x18580: partial file\n"
                               "[info] Output #0, mp4, to 'file:/v/.a.partial':\n"
                               "[info]   Duration: 00:00:01.00, start: 0.000000, bitrate: 1 kb/s\n"
                               "[aac @ 0x55d1] [swr @ 0x55d2] [warning] clipping\n"
                               "[libx264 @ 0x55d3] [info] frame I:1     Avg QP:20.00  size:  1000\n"
                               "plain line\n"
                               "[fatal] cut";
    FfmpegLog log;
    std::string shown;
    for (size_t at = 0; at < output.size(); at += 5)
        shown += log.Feed(std::string_view(output).substr(at, 5));
    shown += log.Finish();
    EXPECT_EQ(shown,
              "Guessed Channel Layout for Input Stream #0.1 : mono\n"
              "[mov,mp4 @ 0x55d0] stream 1, offset 0x18580: partial file\n"
              "[aac @ 0x55d1] [swr @ 0x55d2] clipping\n"
              "plain line\n"
              "cut\n");
    ASSERT_TRUE(log.declaredSeconds().has_value());
    EXPECT_DOUBLE_EQ(*log.declaredSeconds(), 68.25);

    // No duration, or one only guessed from the bit rate, is nothing to hold the output to.
    FfmpegLog unknown;
    unknown.Feed("[info]   Duration: N/A, start: 0.000000, bitrate: N/A\n");
    EXPECT_FALSE(unknown.declaredSeconds().has_value());
    FfmpegLog estimated;
    estimated.Feed("[mpeg @ 0x1] [warning] Estimating duration from bitrate, this may be inaccurate\n"
                   "[info]   Duration: 00:00:30.00, start: 0.500000, bitrate: 100 kb/s\n");
    EXPECT_FALSE(estimated.declaredSeconds().has_value());

    // Its errors give the reason of a failure: the last one, and any word of a full disk before it.
    EXPECT_EQ(log.errors().lastError(), "cut");
    EXPECT_FALSE(log.errors().noSpace());
    FfmpegLog full;
    full.Feed("[mp4 @ 0x55d4] [error] Error writing trailer of file:/v/.a: No space left on device\n"
              "[warning] late\n[fatal] Conversion failed!\n");
    EXPECT_TRUE(full.errors().noSpace());
    EXPECT_EQ(full.errors().lastError(), "[mp4] Error writing trailer of file:/v/.a: No space left on device");
    EXPECT_EQ(FailureLine(FailureKind::EncoderError, full.errors().lastError() + "\r\nmore"),
              "ffmpeg.exe: failed: encoder-error [mp4] Error writing trailer of file:/v/.a: No space left on device  "
              "more\n");
    EXPECT_EQ(WriteFailure("/v/a.mp4: Disk quota exceeded"), FailureKind::DestinationFull);
    EXPECT_EQ(WriteFailure("/v/a.mp4: Read-only file system"), FailureKind::DestinationUnwritable);
}

TEST(EncoderParts, PartialFileNamesTellTheirOwner)
{
    const std::string host = "0a1b2c3d";
    EXPECT_EQ(PartialOwner(".clip.mp4.partial-0a1b2c3d-4242-Ab12Cd", host).value_or(-1), 4242);
    EXPECT_EQ(PartialOwner(".a.partial-b.mp4.partial-0a1b2c3d-7-zzzzzz", host).value_or(-1), 7);
    for (const char* other : {"clip.mp4.partial-0a1b2c3d-4242-Ab12Cd", ".clip.mp4.partial-0a1b2c3e-4242-Ab12Cd",
                              ".clip.mp4.partial-0a1b2c3d-4242-Ab12C", ".clip.mp4.partial-0a1b2c3d-4242-Ab12Cd.mp4",
                              ".clip.mp4.partial-0a1b2c3d--Ab12Cd", ".clip.mp4.partial-0a1b2c3d-0-Ab12Cd",
                              ".clip.mp4.partial-0a1b2c3d-42x-Ab12Cd", ".clip.mp4.partial-0a1b2c3d-4242-Ab 2Cd",
                              ".clip.mp4.partial-0a1b2c3d-12345678901-Ab12Cd", ".clip.mp4.partial-Ab12Cd",
                              ".partial-0a1b2c3d-4242-Ab12Cd", ""}) {
        EXPECT_FALSE(PartialOwner(other, host).has_value()) << other;
    }
    EXPECT_EQ(HostMark().size(), 8u);
    EXPECT_EQ(HostMark(), HostMark());
}

TEST(EncoderParts, AFinishedEncodeReplacesAFileThatTookItsNameOnlyWhenAllowed)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string output = dir.filePath("trip.mp4").toStdString();
    const std::string mine = dir.filePath("mine").toStdString();
    const auto write = [](const std::string& path, const char* text) {
        std::ofstream(path) << text;
    };
    const auto read = [](const std::string& path) {
        std::ifstream in(path);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    // Each way, as on a file system that lacks the ways before it.
    for (const NoReplaceWay way : {NoReplaceWay::Rename, NoReplaceWay::Link, NoReplaceWay::Check}) {
        SCOPED_TRACE(static_cast<int>(way));
        write(mine, "first");
        EXPECT_EQ(MoveWithoutReplacing(mine, output, way), 0);
        write(mine, "second");
        EXPECT_EQ(MoveWithoutReplacing(mine, output, way), EEXIST);
        EXPECT_EQ(read(output), "first");
        EXPECT_EQ(read(mine), "second");
        std::remove(output.c_str());
    }
    std::remove(mine.c_str());

    // The name was free at the check; another file takes it while the encode runs.
    std::string partial;
    {
        TempOutput temp;
        ASSERT_TRUE(temp.Create(output));
        partial = temp.path();
        write(partial, "encoded");
        write(output, "another's");
        const auto committed = temp.Commit(false);
        ASSERT_TRUE(committed) << committed.why();
        EXPECT_EQ(*committed, TempOutput::Committed::NameTaken);
        EXPECT_EQ(read(output), "another's");
    }
    EXPECT_NE(::access(partial.c_str(), F_OK), 0) << "discarded with its object";
    // Agreed to: replaced.
    TempOutput temp;
    ASSERT_TRUE(temp.Create(output));
    write(temp.path(), "encoded");
    const auto committed = temp.Commit(true);
    ASSERT_TRUE(committed) << committed.why();
    EXPECT_EQ(*committed, TempOutput::Committed::Done);
    EXPECT_EQ(read(output), "encoded");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList {"trip.mp4"});
}
