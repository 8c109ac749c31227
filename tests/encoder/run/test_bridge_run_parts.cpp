// The run's parts that need no encode: progress and messages, ffmpeg's log, the subtitle script, the
// finished file's index, the hidden partial file and its commit.
#include "encoder/run/FailureReason.h"
#include "encoder/run/FfmpegLog.h"
#include "encoder/run/MessageFilter.h"
#include "encoder/run/OutputCheck.h"
#include "encoder/run/Progress.h"
#include "encoder/run/SubtitleScriptReader.h"
#include "encoder/run/TempOutput.h"
#include "text/TextReading.h"

#include <QDir>
#include <QString>
#include <QTemporaryDir>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

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

TEST(BridgeRun, ProgressBlocksBecomeReportsTheProgramReads)
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

TEST(BridgeRun, WarningFloodIsFoldedIntoOneCount)
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

TEST(BridgeRun, DistinctMessagesAreCappedAndLongLinesCut)
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

TEST(BridgeRun, SubtitleScriptAsTheProgramWritesIt)
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

TEST(BridgeRun, MovieIndexGivesDurationAndTracks)
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

TEST(BridgeRun, FfmpegLogKeepsWarningsAndReadsTheDeclaredDuration)
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

TEST(BridgeRun, PartialFileNamesTellTheirOwner)
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

TEST(BridgeRun, AFinishedEncodeReplacesAFileThatTookItsNameOnlyWhenAllowed)
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

} // namespace
