// The bridge's encode: the program's fixed command line turned into an iPhone MP4 by the system's ffmpeg.
#include "conversion/MediaInfo.h"
#include "conversion/OutputFormat.h"
#include "conversion/OutputSize.h"
#include "support/EncoderBridge.h"
#include "support/MediaFixtures.h"
#include "support/MediaSuite.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>

namespace {

class EncoderEncode : public MediaSuite<EncoderEncode>
{
protected:
    static bool MakeTwoSoundTracks(const QString& name, const QStringList& dispositions)
    {
        return media::Generate(QStringList {"-f",   "lavfi",   "-i",       "testsrc=size=160x120:rate=25:duration=1",
                                            "-f",   "lavfi",   "-i",       "sine=frequency=300:duration=1",
                                            "-f",   "lavfi",   "-i",       "sine=frequency=2000:duration=1",
                                            "-map", "0",       "-map",     "1",
                                            "-map", "2",       "-pix_fmt", "yuv420p",
                                            "-c:v", "libx264", "-preset",  "ultrafast",
                                            "-c:a", "aac"}
                                   + dispositions,
                               Source(name));
    }

    static void SetUpTestSuite()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        const QStringList x264 {"-c:v", "libx264", "-preset", "ultrafast", "-c:a", "aac"};
        ok_ = media::MakeClip(Source("clip.avi"), "640x480:rate=25", 1, {"-c:v", "mpeg4", "-c:a", "libmp3lame"})
            && media::MakeClip(Source("fast.mkv"), "320x180:rate=60000/1001", 1, x264)
            && media::MakeClip(Source("yuv444.mkv"), "320x240:rate=25", 1, QStringList {"-pix_fmt", "yuv444p"} + x264)
            && media::MakeClip(Source("tenbit.mkv"), "320x240:rate=25", 1,
                               QStringList {"-pix_fmt", "yuv420p10le"} + x264)
            && media::MakeClip(Source("odd.mkv"), "321x241:rate=25", 1, {"-c:v", "ffv1", "-c:a", "aac"})
            && media::MakeClip(Source("portrait.mp4"), "480x640:rate=25", 1, x264)
            && media::MakeClip(Source("anamorphic.mkv"), "720x576:rate=25", 1,
                               QStringList {"-vf", "setsar=16/15"} + x264)
            && media::MakeClip(Source("silent.mkv"), "320x240:rate=25", 1, x264, false)
            && media::MakeClip(Source("paced.mkv"), "160x120:rate=25", 3, x264)
            && media::Generate({"-f", "lavfi", "-i", "sine=duration=1", "-c:a", "aac"}, Source("audio.m4a"))
            && media::MakeClip(Source("landscape.mp4"), "640x360:rate=25", 1, x264)
            // Full range, as phones and cameras often write it.
            && media::MakeClip(Source("hd60.mkv"), "1280x720:rate=60", 1,
                               QStringList {"-vf", "scale=out_range=full", "-pix_fmt", "yuvj420p"} + x264)
            // 60 fps, black but for one white frame at 1 s, silent but for a beep from 1 s on.
            && media::Generate({"-f", "lavfi", "-i",
                                "color=black:size=640x360:rate=60:duration=3,"
                                "drawbox=color=white:t=fill:enable=eq(n\\,60)",
                                "-f", "lavfi", "-i",
                                "aevalsrc=if(between(t\\,1\\,1.1)\\,sin(2*PI*1000*t)\\,0):s=48000:d=3", "-c:v",
                                "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p", "-c:a", "pcm_s16le"},
                               Source("flash60.mkv"))
            // A phone's portrait video: a landscape picture marked to be turned a quarter.
            && media::Generate({"-i", Source("landscape.mp4"), "-c", "copy", "-metadata:s:v:0", "rotate=90"},
                               Source("phone.mp4"))
            // Two sound tracks told apart by their tones: the second is marked as the one to play, or neither.
            && MakeTwoSoundTracks("second-default.mkv", {"-disposition:a:0", "0", "-disposition:a:1", "default"})
            && MakeTwoSoundTracks("no-default.mkv", {"-disposition:a", "0"});
        // A picture scrolling sideways, so that fields taken apart in time differ; interlaced both ways, and not.
        for (const char* order : {"tff", "bff"})
            ok_ = ok_
                && media::Generate(
                      {"-f", "lavfi", "-i",
                       QString("testsrc2=size=320x240:rate=50:duration=1,scroll=h=0.005,interlace=scan=") + order,
                       "-c:v", "mpeg2video", "-q:v", "2", "-flags", "+ilme+ildct", "-top",
                       order == QString("tff") ? "1" : "0"},
                      Source(QString(order) + ".mkv"));
        ok_ = ok_
            && media::Generate({"-f", "lavfi", "-i", "testsrc2=size=320x240:rate=25:duration=1,scroll=h=0.01", "-c:v",
                                "mpeg2video", "-q:v", "2"},
                               Source("progressive.mkv"));
        // An SDR picture and its HDR masters (SDR white at HDR reference white, 203 cd/m2), as an HDR camera
        // would record the same scene.
        ok_ = ok_
            && media::Generate({"-f", "lavfi", "-i", "testsrc2=size=320x240:rate=25:duration=1", "-pix_fmt", "yuv420p",
                                "-c:v", "libx264", "-preset", "ultrafast"},
                               Source("sdr.mkv"));
        for (const char* transfer : {"arib-std-b67", "smpte2084"})
            ok_ = ok_
                && media::Generate(
                      {"-i", Source("sdr.mkv"), "-vf",
                       QString(
                           "zscale=tin=bt709:pin=bt709:min=bt709:t=%1:p=bt2020:m=bt2020nc:npl=203,format=yuv420p10le")
                           .arg(transfer),
                       "-c:v", "libx265", "-preset", "ultrafast", "-x265-params", "log-level=error", "-color_primaries",
                       "bt2020", "-color_trc", transfer, "-colorspace", "bt2020nc"},
                      Source(QString(transfer) + ".mp4"));
        QFile text(Source("text.avi"));
        ok_ = ok_ && text.open(QIODevice::WriteOnly) && text.write("This is a letter, not a video.\n") > 0;
    }
};

TEST_F(EncoderEncode, FixedCommandLineMakesAnIphoneMp4)
{
    const auto run = bridge::Run(bridge::EncodeArguments(Source("clip.avi"), Out("clip.mp4"), 480, 360));
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();

    const auto video = media::Probe(Out("clip.mp4"), "v:0");
    EXPECT_EQ(video.value("codec_name").toStdString(), "h264");
    EXPECT_EQ(video.value("pix_fmt").toStdString(), "yuv420p");
    // Constrained Baseline at level 3.0: no B-frames, no 8x8 transform, CAVLC ("-coder 0").
    EXPECT_EQ(video.value("profile").toStdString(), "Constrained Baseline");
    EXPECT_EQ(video.value("has_b_frames").toStdString(), "0");
    const auto x264 = media::X264Settings(Out("clip.mp4"));
    EXPECT_EQ(x264.value("cabac").toStdString(), "0");
    EXPECT_EQ(x264.value("8x8dct").toStdString(), "0");
    EXPECT_EQ(x264.value("bframes").toStdString(), "0");
    EXPECT_EQ(x264.value("ref").toStdString(), "2"); // the other settings keep their meaning
    EXPECT_EQ(x264.value("subme").toStdString(), "4");
    EXPECT_EQ(x264.value("me").toStdString(), "hex");
    EXPECT_EQ(x264.value("keyint").toStdString(), "250");
    EXPECT_EQ(x264.value("crf").left(2).toStdString(), "21");
    EXPECT_EQ(video.value("width").toStdString(), "480");
    EXPECT_EQ(video.value("height").toStdString(), "360");
    EXPECT_EQ(video.value("r_frame_rate").toStdString(), "25/1");
    EXPECT_EQ(video.value("level").toStdString(), "30");

    const auto audio = media::Probe(Out("clip.mp4"), "a:0");
    EXPECT_EQ(audio.value("codec_name").toStdString(), "aac");
    EXPECT_EQ(audio.value("profile").toStdString(), "LC");
    EXPECT_EQ(audio.value("channels").toStdString(), "2"); // the source is mono
    EXPECT_NEAR(audio.value("bit_rate").toDouble(), 128000, 16000);

    const auto format = media::Probe(Out("clip.mp4"), "format");
    EXPECT_TRUE(format.value("format_name").contains("mp4"));

    // The index sits in front of the media data, so playback can start before the whole file is read.
    QFile file(Out("clip.mp4"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_LT(bytes.indexOf("moov"), bytes.indexOf("mdat"));

    EXPECT_EQ(OutputFolder(), QStringList {"clip.mp4"});
}

TEST_F(EncoderEncode, FullHdLineMakesAHighProfileMp4)
{
    const QString line = EncoderCommand(OutputFormat::FullHd, Source("hd60.mkv"), " -r 30", 1280, 720, Out("hd.mp4"));
    const auto run = bridge::Run(bridge::ArgumentsOf(line));
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();

    const auto video = media::CountFrames(Out("hd.mp4"));
    EXPECT_EQ(video.value("profile").toStdString(), "High");
    EXPECT_EQ(video.value("level").toStdString(), "41");
    EXPECT_EQ(video.value("width").toStdString(), "1280");
    EXPECT_EQ(video.value("height").toStdString(), "720");
    EXPECT_EQ(video.value("pix_fmt").toStdString(), "yuv420p");
    // Limited range: marked so, or unmarked, which H.264 reads as limited.
    EXPECT_NE(video.value("color_range").toStdString(), "pc");
    EXPECT_EQ(video.value("r_frame_rate").toStdString(), "30/1");
    EXPECT_NEAR(video.value("nb_read_frames").toInt(), 30, 1);
    const auto x264 = media::X264Settings(Out("hd.mp4"));
    EXPECT_EQ(x264.value("cabac").toStdString(), "1");
    EXPECT_EQ(x264.value("bframes").toStdString(), "3");
    EXPECT_EQ(x264.value("vbv_maxrate").toStdString(), "25000");

    const auto audio = media::Probe(Out("hd.mp4"), "a:0");
    EXPECT_EQ(audio.value("codec_name").toStdString(), "aac");
    EXPECT_EQ(audio.value("channels").toStdString(), "2");
    EXPECT_NEAR(audio.value("bit_rate").toDouble(), 160000, 16000);
    EXPECT_EQ(OutputFolder(), QStringList {"hd.mp4"});
}

TEST_F(EncoderEncode, ProgressReportsInTheOldForm)
{
    const auto run = bridge::Run(bridge::EncodeArguments(Source("clip.avi"), Out("clip.mp4"), 480, 360));
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
    const QList<double> positions = bridge::ReportedPositions(run.output);
    ASSERT_FALSE(positions.isEmpty()) << run.output.toStdString();
    EXPECT_NEAR(positions.last(), 1.0, 0.1);
    EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
    // The last report closes its line.
    EXPECT_TRUE(run.output.endsWith("kbits/s\r\n")) << run.output.toStdString();
    EXPECT_TRUE(run.output.contains(QRegularExpression(R"(size= {0,7}\d+kB time=\d+\.\d\d bitrate= *\d+\.\dkbits/s)")));
}

TEST_F(EncoderEncode, ReportsComeAtLeastTwiceASecondWhileEncoding)
{
    // "-re" reads the source at its own speed, so the three-second encode lasts three seconds.
    const auto run
        = bridge::Run(QStringList {"-re"} + bridge::EncodeArguments(Source("paced.mkv"), Out("paced.mp4"), 160, 120));
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
    const QList<double> positions = bridge::ReportedPositions(run.output);
    EXPECT_GE(positions.size(), 5) << run.output.toStdString();
    // Reports are separated by a carriage return alone.
    EXPECT_TRUE(run.output.contains("kbits/s\rsize=")) << run.output.toStdString();
}

TEST_F(EncoderEncode, FrameRateCapAndPassThrough)
{
    ASSERT_EQ(bridge::Run(bridge::EncodeArguments(Source("fast.mkv"), Out("capped.mp4"), 320, 180, true)).exitCode, 0);
    const auto capped = media::CountFrames(Out("capped.mp4"));
    EXPECT_EQ(capped.value("r_frame_rate").toStdString(), "30/1");
    EXPECT_NEAR(capped.value("nb_read_frames").toInt(), 30, 1); // one second

    ASSERT_EQ(bridge::Run(bridge::EncodeArguments(Source("fast.mkv"), Out("free.mp4"), 320, 180)).exitCode, 0);
    const QStringList rate = media::Probe(Out("free.mp4"), "v:0").value("avg_frame_rate").split('/');
    ASSERT_EQ(rate.size(), 2);
    EXPECT_NEAR(rate[0].toDouble() / rate[1].toDouble(), 59.94, 0.01);
}

TEST_F(EncoderEncode, FrameRateCapKeepsPictureAndSoundTogether)
{
    // The source's flash and beep start together at 1 s; so must they in the 30 fps output.
    ASSERT_EQ(media::BrightFrameTimes(Source("flash60.mkv")), QList<double> {1.0});
    ASSERT_EQ(media::SoundOnsets(Source("flash60.mkv")).size(), 1);

    const auto run = bridge::Run(bridge::EncodeArguments(Source("flash60.mkv"), Out("flash.mp4"), 480, 270, true));
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
    const auto video = media::CountFrames(Out("flash.mp4"));
    EXPECT_EQ(video.value("r_frame_rate").toStdString(), "30/1");
    EXPECT_NEAR(video.value("nb_read_frames").toInt(), 3 * 30, 1);

    // Source frame 60 is an even one, so the output's frame 30 shows it.
    const QList<double> flashes = media::BrightFrameTimes(Out("flash.mp4"));
    const QList<double> beeps = media::SoundOnsets(Out("flash.mp4"));
    ASSERT_EQ(flashes.size(), 1) << "the flash frame was dropped";
    ASSERT_EQ(beeps.size(), 1);
    EXPECT_NEAR(flashes[0], beeps[0], 1.0 / 30);
    EXPECT_NEAR(flashes[0], 1.0, 1.0 / 60);
}

TEST_F(EncoderEncode, FullChromaAndTenBitSourcesBecome8Bit420)
{
    for (const char* name : {"yuv444.mkv", "tenbit.mkv"}) {
        SCOPED_TRACE(name);
        const auto run = bridge::Run(bridge::EncodeArguments(Source(name), Out("out.mp4"), 320, 240));
        ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
        const auto video = media::Probe(Out("out.mp4"), "v:0");
        EXPECT_EQ(video.value("pix_fmt").toStdString(), "yuv420p");
        EXPECT_EQ(video.value("profile").toStdString(), "Constrained Baseline");
    }
}

TEST_F(EncoderEncode, OutputSizes)
{
    struct Case
    {
        const char* source;
        int width, height; // as the program asks
        const char *outW, *outH; // what the file gets
    };
    const Case cases[] = {
        {"odd.mkv", 321, 241, "320", "240"}, // passed through by the program, made even here
        {"portrait.mp4", 360, 480, "360", "480"},
        {"anamorphic.mkv", 480, 384, "480", "384"},
        {"silent.mkv", 320, 240, "320", "240"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source);
        const auto run = bridge::Run(bridge::EncodeArguments(Source(c.source), Out("out.mp4"), c.width, c.height));
        ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
        const auto video = media::Probe(Out("out.mp4"), "v:0");
        EXPECT_EQ(video.value("width").toStdString(), c.outW);
        EXPECT_EQ(video.value("height").toStdString(), c.outH);
    }
    EXPECT_TRUE(media::Probe(Out("out.mp4"), "a:0").isEmpty()); // the silent source stays silent
}

TEST_F(EncoderEncode, AwkwardFileNamesOnBothSides)
{
    const QStringList names {"with space", "it's", "one, two", "a:b", "Ünïcødé ñ 日本", "-dash", "[x];y=z\\w"};
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        ASSERT_TRUE(QFile::copy(Source("silent.mkv"), Out(name + ".mkv")));
        // Relative to the working folder, as a leading dash is most awkward there.
        const auto run = bridge::Run(bridge::EncodeArguments(name + ".mkv", name + ".mp4", 320, 240), out_.path());
        ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
        EXPECT_EQ(media::Probe(Out(name + ".mp4"), "v:0").value("width").toStdString(), "320");
    }
    EXPECT_EQ(OutputFolder().filter(".partial").size(), 0);
}

TEST_F(EncoderEncode, WithoutAFormatTheOutputsNameChoosesIt)
{
    // ffmpeg writes to the hidden partial file, so the format cannot come from the name ffmpeg sees.
    const struct
    {
        const char* name;
        const char* format;
    } cases[] = {{"out.mkv", "matroska"}, {"out.M4V", "mp4"}, {"out.video", "mp4"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto run = bridge::Run({"-y", "-i", Source("silent.mkv"), "-s", "320x240", Out(c.name)});
        ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
        EXPECT_TRUE(media::Probe(Out(c.name), "format").value("format_name").contains(c.format));
    }
}

TEST_F(EncoderEncode, SuccessReplacesAnExistingOutput)
{
    QFile old(Out("clip.mp4"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
    old.close();
    ASSERT_EQ(bridge::Run(bridge::EncodeArguments(Source("clip.avi"), Out("clip.mp4"), 480, 360)).exitCode, 0);
    EXPECT_EQ(media::Probe(Out("clip.mp4"), "v:0").value("codec_name").toStdString(), "h264");
    EXPECT_EQ(OutputFolder(), QStringList {"clip.mp4"});
}

TEST_F(EncoderEncode, FailuresLeaveNoFileAndKeepTheOldOne)
{
    QFile old(Out("kept.mp4"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
    old.close();

    const auto unreadable = bridge::Run(bridge::EncodeArguments(Source("text.avi"), Out("kept.mp4"), 480, 360));
    EXPECT_NE(unreadable.exitCode, 0);
    EXPECT_TRUE(unreadable.output.contains("ffmpeg.exe: failed: encoder-error ")) << unreadable.output.toStdString();

    // ffmpeg succeeds, but a file without video is no iPhone video.
    const auto audioOnly = bridge::Run(bridge::EncodeArguments(Source("audio.m4a"), Out("audio.mp4"), 480, 360));
    EXPECT_NE(audioOnly.exitCode, 0);
    EXPECT_TRUE(audioOnly.output.contains("no video")) << audioOnly.output.toStdString();

    const auto noFolder = bridge::Run(bridge::EncodeArguments(Source("clip.avi"), Out("missing/x.mp4"), 480, 360));
    EXPECT_NE(noFolder.exitCode, 0);
    EXPECT_TRUE(noFolder.output.contains("No such file or directory")) << noFolder.output.toStdString();

    // Without "-y" an existing output is never replaced.
    QStringList noOverwrite = bridge::EncodeArguments(Source("clip.avi"), Out("kept.mp4"), 480, 360);
    noOverwrite.removeAll("-y");
    const auto refused = bridge::Run(noOverwrite);
    EXPECT_NE(refused.exitCode, 0);
    EXPECT_TRUE(refused.output.contains("already exists")) << refused.output.toStdString();

    // The source under another spelling of its path is never encoded over itself.
    ASSERT_TRUE(QFile::copy(Source("clip.avi"), Out("self.avi")));
    const auto itself = bridge::Run(bridge::EncodeArguments(Out("self.avi"), out_.path() + "//self.avi", 480, 360));
    EXPECT_NE(itself.exitCode, 0);
    EXPECT_TRUE(itself.output.contains("is the source itself")) << itself.output.toStdString();
    EXPECT_EQ(media::Probe(Out("self.avi"), "v:0").value("codec_name").toStdString(), "mpeg4");
    ASSERT_TRUE(QFile::remove(Out("self.avi")));

    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "old");
    EXPECT_EQ(OutputFolder(), QStringList {"kept.mp4"});
}

TEST_F(EncoderEncode, MissingFfmpegIsReportedClearly)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("PATH", out_.path()); // holds no ffmpeg
    const auto run
        = bridge::Run(bridge::EncodeArguments(Source("clip.avi"), Out("clip.mp4"), 480, 360), QString(), environment);
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(run.output.contains("ffmpeg program was not found on PATH")) << run.output.toStdString();
    EXPECT_TRUE(OutputFolder().isEmpty());
}

TEST_F(EncoderEncode, AnFfmpegThatFailsFailsTheEncodeEvenWhenItsFileReadsBack)
{
    QTemporaryDir tools;
    QFile wrapper(tools.filePath("ffmpeg"));
    ASSERT_TRUE(wrapper.open(QIODevice::WriteOnly));
    wrapper.write("#!/bin/sh\n/usr/bin/ffmpeg \"$@\"\nexit 1\n");
    wrapper.close();
    ASSERT_TRUE(wrapper.setPermissions(wrapper.permissions() | QFileDevice::ExeOwner));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("PATH", tools.path() + ":" + environment.value("PATH"));

    const auto run
        = bridge::Run(bridge::EncodeArguments(Source("clip.avi"), Out("clip.mp4"), 480, 360), QString(), environment);
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(run.output.contains("ffmpeg exit status 1")) << run.output.toStdString();
    EXPECT_TRUE(OutputFolder().isEmpty()) << OutputFolder().join(' ').toStdString();
}

TEST_F(EncoderEncode, InterlacedVideoIsDeinterlacedFrameForFrameAndProgressiveVideoIsNot)
{
    struct Case
    {
        const char* name;
        const char* fieldOrder; // as the source states it
        const char* parity; // empty for a progressive source
    };
    for (const Case& c :
         {Case {"tff.mkv", "tt", "tff"}, Case {"bff.mkv", "bb", "bff"}, Case {"progressive.mkv", "progressive", ""}}) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(media::Probe(Source(c.name), "v:0").value("field_order").toStdString(), c.fieldOrder);
        const auto run = bridge::Run(bridge::EncodeArguments(Source(c.name), Out("out.mp4"), 320, 240));
        ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
        EXPECT_EQ(media::CountFrames(Out("out.mp4")).value("nb_read_frames").toStdString(), "25");

        // The frame half a second in, against the source's frame as it is and deinterlaced either way.
        const QByteArray frame = media::GreyFrame(Out("out.mp4"), 0.52);
        const double asItIs = media::MeanDifference(frame, media::GreyFrame(Source(c.name), 0.52));
        const QString deinterlace = "bwdif=mode=send_frame:parity=";
        const double topFirst
            = media::MeanDifference(frame, media::GreyFrame(Source(c.name), 0.52, deinterlace + "tff"));
        const double bottomFirst
            = media::MeanDifference(frame, media::GreyFrame(Source(c.name), 0.52, deinterlace + "bff"));
        ASSERT_GE(std::min({asItIs, topFirst, bottomFirst}), 0);
        if (*c.parity == 't') {
            EXPECT_LT(topFirst * 1.5, std::min(asItIs, bottomFirst));
        } else if (*c.parity == 'b') {
            EXPECT_LT(bottomFirst * 1.5, std::min(asItIs, topFirst));
        } else {
            EXPECT_LT(asItIs * 1.5, std::min(topFirst, bottomFirst));
        }
    }
}

TEST_F(EncoderEncode, TheSoundIsTheTrackMarkedAsDefaultElseTheFirst)
{
    for (const auto& [name, tone] : {std::pair {"second-default.mkv", 2000.0}, std::pair {"no-default.mkv", 300.0}}) {
        SCOPED_TRACE(name);
        const auto run = bridge::Run(bridge::EncodeArguments(Source(name), Out("out.mp4"), 160, 120));
        ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
        EXPECT_NEAR(media::ToneFrequency(Out("out.mp4")), tone, tone / 20);
    }
}

TEST_F(EncoderEncode, HdrVideoIsToneMappedToBt709)
{
    const double sdr = media::MeanSaturation(Source("sdr.mkv"));
    ASSERT_GT(sdr, 50);
    for (const char* transfer : {"arib-std-b67", "smpte2084"}) {
        SCOPED_TRACE(transfer);
        const QString source = Source(QString(transfer) + ".mp4");
        ASSERT_EQ(media::Probe(source, "v:0").value("color_transfer").toStdString(), transfer);
        const auto run = bridge::Run(bridge::EncodeArguments(source, Out("out.mp4"), 320, 240));
        ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
        const auto video = media::Probe(Out("out.mp4"), "v:0");
        EXPECT_EQ(video.value("color_transfer").toStdString(), "bt709");
        EXPECT_EQ(video.value("color_primaries").toStdString(), "bt709");
        EXPECT_EQ(video.value("color_space").toStdString(), "bt709");
        EXPECT_EQ(video.value("pix_fmt").toStdString(), "yuv420p");
        // Not washed out: as colourful as the SDR picture of the scene, give or take the highlights' roll-off.
        // Left in HDR's colours and curve it would have about a third of that.
        EXPECT_GT(media::MeanSaturation(Out("out.mp4")), 0.8 * sdr);
    }
}

TEST_F(EncoderEncode, MessageFloodsFromADamagedSourceStayBounded)
{
    // A long MPEG-4 stream with garbage written over it every kilobyte: the decoder complains about most frames.
    const QString clean = Out("clean.avi");
    ASSERT_TRUE(media::Generate({"-f", "lavfi", "-i", "testsrc=size=160x120:rate=25:duration=12", "-c:v", "mpeg4", "-g",
                                 "1000", "-pix_fmt", "yuv420p"},
                                clean));
    QFile file(clean);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray bytes = file.readAll();
    file.close();
    for (qsizetype at = 8000; at + 40 < bytes.size() - 8000; at += 997)
        for (int k = 0; k < 40; ++k)
            bytes[at + k] = static_cast<char>((at * 7 + k * 13) & 0xff);
    QFile damaged(Out("damaged.avi"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly) && damaged.write(bytes) == bytes.size());
    damaged.close();

    const auto run = bridge::Run(bridge::EncodeArguments(Out("damaged.avi"), Out("damaged.mp4"), 160, 120));
    QString messages = run.output;
    messages.replace('\r', '\n');
    const QStringList lines = messages.split('\n', Qt::SkipEmptyParts).filter(QRegularExpression("^(?!size=)"));
    EXPECT_GT(lines.filter("mpeg4").size(), 5) << run.output.toStdString(); // the warnings still show
    EXPECT_LE(lines.size(), 110) << run.output.toStdString();
    EXPECT_TRUE(run.output.contains("more messages not shown") || run.output.contains("Last message repeated"));
}

} // namespace

TEST_F(EncoderEncode, APhonesTurnedVideoComesOutUprightAndUnsquashed)
{
    const auto probe = bridge::Run({"-i", Source("phone.mp4")});
    const QStringList infos = ParseProbeOutput(probe.output).split('|');
    ASSERT_EQ(infos.size(), 4) << probe.output.toStdString();
    const std::optional<QSize> size = ComputeOutputSize(infos[1], infos[2]);
    ASSERT_TRUE(size.has_value());
    EXPECT_EQ(*size, QSize(270, 480));

    const auto run
        = bridge::Run(bridge::EncodeArguments(Source("phone.mp4"), Out("phone.mp4"), size->width(), size->height()));
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
    const auto video = media::Probe(Out("phone.mp4"), "v:0");
    EXPECT_EQ(video.value("width"), "270");
    EXPECT_EQ(video.value("height"), "480");
}

TEST_F(EncoderEncode, TheVideoProbedIsTheVideoEncodedAndACoverIsNoVideo)
{
    // A small 25 fps video, then a large 10 fps one marked as the default: ffmpeg alone would take the large one.
    ASSERT_TRUE(media::Generate(QString("-f lavfi -i testsrc=size=320x240:rate=25:duration=1 -f lavfi -i "
                                        "color=red:size=1280x720:rate=10:duration=1 -map 0 -map 1 -c:v libx264 "
                                        "-pix_fmt yuv420p -disposition:v:0 0 -disposition:v:1 default")
                                    .split(' '),
                                Source("two.mkv")));
    const auto probe = bridge::Run({"-i", Source("two.mkv")});
    EXPECT_EQ(ParseProbeOutput(probe.output), "1| 320|240|25") << probe.output.toStdString();
    ASSERT_EQ(bridge::Run(bridge::EncodeArguments(Source("two.mkv"), Out("two.mp4"), 320, 240)).exitCode, 0);
    EXPECT_EQ(media::Probe(Out("two.mp4"), "v:0").value("r_frame_rate").toStdString(), "25/1");

    // A song with its cover picture is a sound file, refused like any other.
    ASSERT_TRUE(media::Generate(QString("-f lavfi -i sine=duration=1 -f lavfi -i color=blue:size=300x300:duration=1 "
                                        "-map 0 -map 1 -frames:v 1 -c:a libmp3lame -c:v mjpeg -disposition:v "
                                        "attached_pic")
                                    .split(' '),
                                Source("song.mp3")));
    const auto song = bridge::Run({"-i", Source("song.mp3")});
    EXPECT_TRUE(song.output.contains("Cover picture: mjpeg")) << song.output.toStdString();
    EXPECT_EQ(ParseProbeOutput(song.output), "") << song.output.toStdString();
}
