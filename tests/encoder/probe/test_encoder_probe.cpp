// The bridge's probe: the legacy probe text, read back with the program's own parse.
#include "conversion/MediaInfo.h"
#include "support/EncoderBridge.h"
#include "support/MediaFixtures.h"
#include "text/TextReading.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

class EncoderProbe : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        const QStringList x264 {"-c:v", "libx264", "-preset", "ultrafast", "-c:a", "aac"};
        ok_ = media::MakeClip(Path("clip.avi"), "640x480:rate=25", 2, {"-c:v", "mpeg4", "-c:a", "libmp3lame"})
            && media::MakeClip(Path("hd.mkv"), "1280x720:rate=30000/1001", 1, x264)
            && media::MakeClip(Path("anamorphic.mkv"), "720x576:rate=25", 1, QStringList {"-vf", "setsar=16/15"} + x264)
            && media::MakeClip(Path("portrait.mp4"), "480x640:rate=25", 1, x264)
            && media::MakeClip(Path("fast.mkv"), "320x180:rate=60000/1001", 1, x264)
            && media::MakeClip(Path("yuv444.mkv"), "320x240:rate=24000/1001", 1,
                               QStringList {"-pix_fmt", "yuv444p"} + x264)
            && media::MakeClip(Path("tenbit.mkv"), "320x240:rate=25", 1, QStringList {"-pix_fmt", "yuv420p10le"} + x264)
            && media::MakeClip(Path("odd.mkv"), "321x241:rate=25", 1, {"-c:v", "ffv1", "-c:a", "aac"})
            && media::Generate({"-f", "lavfi", "-i", "sine=duration=1", "-c:a", "aac"}, Path("audio.m4a"));
        QFile text(Path("text.avi"));
        ok_ = ok_ && text.open(QIODevice::WriteOnly) && text.write("This is a letter, not a video.\n") > 0;
        text.close();
        QFile empty(Path("empty.avi"));
        ok_ = ok_ && empty.open(QIODevice::WriteOnly);
    }
    static void TearDownTestSuite() { dir_.reset(); }

    void SetUp() override { ASSERT_TRUE(ok_) << "test media could not be made"; }

    static QString Path(const QString& name) { return dir_->filePath(name); }

    static std::unique_ptr<QTemporaryDir> dir_;
    static bool ok_;
};

std::unique_ptr<QTemporaryDir> EncoderProbe::dir_;
bool EncoderProbe::ok_ = false;

TEST_F(EncoderProbe, LegacyLayoutReadsBackForEveryKindOfVideo)
{
    struct Case
    {
        const char* file;
        const char* infos;
        const char* videoLine; // part of the stream line, or nullptr
    };
    const Case cases[] = {
        {"clip.avi", "2| 640|480|25", "Video: mpeg4, yuv420p, 640x480 [PAR 1:1 DAR 4:3], 25 tb(r)"},
        {"hd.mkv", "1| 1280|720|29.97", "1280x720 [PAR 1:1 DAR 16:9], 29.97 tb(r)"},
        {"anamorphic.mkv", "1| 720|576|25", "720x576 [PAR 16:15 DAR 4:3], 25 tb(r)"},
        {"portrait.mp4", "1| 480|640|25", "Video: h264, yuv420p, 480x640 [PAR 1:1 DAR 3:4]"},
        {"fast.mkv", "1| 320|180|59.94", "59.94 tb(r)"},
        {"yuv444.mkv", "1| 320|240|23.976", "Video: h264, yuv444p, 320x240"},
        {"tenbit.mkv", "1| 320|240|25", "Video: h264, yuv420p10le, 320x240"},
        {"odd.mkv", "1| 321|241|25", "Video: ffv1, yuv420p, 321x241"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const auto run = bridge::Run({"-i", Path(c.file)});
        ASSERT_TRUE(run.finished);
        EXPECT_NE(run.exitCode, 0); // no output given, as the old encoders complained
        EXPECT_TRUE(run.output.startsWith("Input #0, ")) << run.output.toStdString();
        EXPECT_TRUE(run.output.contains("from '" + Path(c.file) + "':\n"));
        EXPECT_TRUE(run.output.contains("Stream #0.1: Audio: ")) << run.output.toStdString();
        EXPECT_TRUE(run.output.contains(c.videoLine)) << run.output.toStdString();
        EXPECT_TRUE(run.output.endsWith("At least one output file must be specified\n"));
        EXPECT_EQ(ParseProbeOutput(run.output), c.infos) << run.output.toStdString();

        // The duration agrees with ffprobe's, cut to the hundredth shown.
        const double seconds = media::Probe(Path(c.file), "format").value("duration").toDouble();
        const QString durationText = ExtractBetween(run.output, "Duration: ", ", start:");
        const double shown = TimeToSeconds(durationText).value_or(-1);
        EXPECT_LE(shown, seconds + 1e-9) << durationText.toStdString();
        EXPECT_GT(shown, seconds - 0.01) << durationText.toStdString();
    }
}

TEST_F(EncoderProbe, UnreadableSourcesCarryTheMarkersTheProgramRejects)
{
    const auto missing = bridge::Run({"-i", Path("missing.avi")});
    EXPECT_EQ(missing.output, Path("missing.avi") + ": no such file or directory\n");
    EXPECT_NE(missing.exitCode, 0);

    for (const char* name : {"text.avi", "empty.avi"}) {
        const auto run = bridge::Run({"-i", Path(name)});
        EXPECT_EQ(run.output, Path(name) + ": Unknown format\n");
        EXPECT_NE(run.exitCode, 0);
    }

    const auto folder = bridge::Run({"-i", dir_->path()});
    EXPECT_TRUE(folder.output.contains("Unknown format")) << folder.output.toStdString();
}

TEST_F(EncoderProbe, AMissingProbeModuleIsReportedClearly)
{
    // The bridge alone, without the module it loads for probes.
    QTemporaryDir alone;
    ASSERT_TRUE(QFile::copy(bridge::Path(), alone.filePath("ffmpeg.exe")));
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(alone.filePath("ffmpeg.exe"), {"-i", Path("clip.avi")});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_NE(process.exitCode(), 0);
    const QString output = QString::fromUtf8(process.readAll());
    EXPECT_TRUE(output.startsWith("ffmpeg.exe: cannot load the probe")) << output.toStdString();
    EXPECT_EQ(ParseProbeOutput(output), "");
}

TEST_F(EncoderProbe, AudioOnlySourceHasNoVideoLineAndFailsTheParse)
{
    const auto run = bridge::Run({"-i", Path("audio.m4a")});
    EXPECT_TRUE(run.output.contains("Stream #0.0: Audio: aac, 44100 Hz, mono, fltp")) << run.output.toStdString();
    EXPECT_FALSE(run.output.contains("Video:"));
    EXPECT_EQ(ParseProbeOutput(run.output), "");
}

TEST_F(EncoderProbe, AwkwardFileNames)
{
    const QStringList names {"with space.avi",     "it's.avi",  "one, two.avi", "a:b.avi",
                             "Ünïcødé ñ 日本.avi", "-dash.avi", "x tb.avi"};
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        ASSERT_TRUE(QFile::copy(Path("clip.avi"), Path(name)));
        const auto run = bridge::Run({"-i", Path(name)});
        EXPECT_TRUE(run.output.contains("from '" + Path(name) + "':")) << run.output.toStdString();
        EXPECT_TRUE(run.output.contains("Video: mpeg4, yuv420p, 640x480")) << run.output.toStdString();
    }
    // A name the program hands over relative to its folder, leading dash included.
    const auto relative = bridge::Run({"-i", "-dash.avi"}, dir_->path());
    EXPECT_EQ(ParseProbeOutput(relative.output), "2| 640|480|25") << relative.output.toStdString();
    const auto colon = bridge::Run({"-i", "a:b.avi"}, dir_->path());
    EXPECT_EQ(ParseProbeOutput(colon.output), "2| 640|480|25") << colon.output.toStdString();
}

} // namespace
