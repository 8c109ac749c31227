// The HEVC output for today's iPhones, through the bridge on small clips made at test time: what plays is copied
// (HDR and a surround track kept, HEVC written as hvc1), the rest encoded in HEVC with HDR kept.
#include "conversion/OutputFormat.h"
#include "support/EncoderBridge.h"
#include "support/MediaFixtures.h"
#include "support/MediaSuite.h"

#include <QFile>
#include <QProcess>

namespace {

QByteArray Be(std::initializer_list<quint32> words, int bytesEach)
{
    QByteArray out;
    for (const quint32 word : words)
        for (int i = bytesEach - 1; i >= 0; --i)
            out += static_cast<char>(word >> (8 * i));
    return out;
}

// What ffprobe tells of the first frame's side data: the HDR10 static data the encoder wrote into the stream.
QString FirstFrameSideData(const QString& path)
{
    QProcess probe;
    probe.start("/usr/bin/ffprobe",
                {"-v", "error", "-select_streams", "v:0", "-read_intervals", "%+#1", "-show_entries", "frame_side_data",
                 "-of", "compact", path});
    return probe.waitForFinished(30000) ? QString::fromUtf8(probe.readAllStandardOutput()) : QString();
}

class EncoderHevc : public MediaSuite<EncoderHevc>
{
protected:
    static void SetUpTestSuite()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        const QStringList picture {"-f", "lavfi", "-i", "testsrc2=size=640x360:rate=60:duration=1"};
        const QStringList sound {"-f", "lavfi", "-i", "sine=frequency=440:sample_rate=48000:duration=1"};
        const QStringList hlg {"-color_primaries", "bt2020", "-color_trc", "arib-std-b67", "-colorspace", "bt2020nc"};
        const QStringList x265 {"-c:v", "libx265", "-x265-params", "log-level=error"};
        // A phone's HDR clip: HEVC Main 10 in HLG at 60 fps, AAC-LC, with its date.
        ok_ = media::Generate(picture + sound + x265 + hlg
                                  + QStringList {"-pix_fmt", "yuv420p10le", "-tag:v", "hvc1", "-c:a", "aac",
                                                 "-metadata", "creation_time=2024-06-02T08:30:00Z"},
                              Source("hlg.mp4"))
            // The same in the sample entry that carries its parameter sets in the stream.
            && media::Generate({"-i", Source("hlg.mp4"), "-c", "copy", "-tag:v", "hev1", "-metadata",
                                "creation_time=2024-06-02T08:30:00Z"},
                               Source("hev1.mp4"))
            // A 1080p60-style MKV: H.264 High with AC-3 5.1.
            && media::Generate(picture + sound
                                   + QStringList {"-c:v", "libx264", "-profile:v", "high", "-pix_fmt", "yuv420p",
                                                  "-c:a", "ac3", "-ac", "6"},
                               Source("surround.mkv"))
            // What no iPhone plays: MPEG-4 Visual (ffmpeg's mpeg4), and HEVC 4:2:2 in HLG.
            && media::Generate(picture + sound + QStringList {"-c:v", "mpeg4", "-c:a", "aac"}, Source("old.mkv"))
            && media::Generate(picture + x265 + hlg + QStringList {"-pix_fmt", "yuv422p10le"}, Source("studio.mkv"))
            // A Dolby Vision 8.4 clip: the phone's HLG with its configuration record beside the HEVC one.
            && QFile::copy(Source("hlg.mp4"), Source("dolby.mp4"))
            && media::AddToSampleEntry(Source("dolby.mp4"),
                                       media::Box("dvvC",
                                                  Be({1, 0}, 1) + Be({(8 << 9) | (9 << 3) | (1 << 2) | 1}, 2)
                                                      + Be({4 << 4}, 1) + QByteArray(19, '\0')))
            // HDR10 in 4:2:2 with its mastering display and light levels stated by the file (R, G, B as the
            // box orders them; x265 takes them as G, B, R).
            && media::Generate(picture + x265
                                   + QStringList {"-pix_fmt", "yuv422p10le", "-color_primaries", "bt2020", "-color_trc",
                                                  "smpte2084", "-colorspace", "bt2020nc", "-tag:v", "hvc1"},
                               Source("hdr10.mp4"))
            && media::AddToSampleEntry(
                  Source("hdr10.mp4"),
                  media::Box("mdcv",
                             Be({13250, 34500, 7500, 3000, 34000, 16000, 15635, 16450}, 2) + Be({10000000, 50}, 4))
                      + media::Box("clli", Be({1000, 400}, 2)));
    }

    // The program's line for the 4K output, fitted to the clips' size.
    bridge::Result Convert(const QString& source, const QString& output) const
    {
        return bridge::Run(
            bridge::ArgumentsOf(EncoderCommand(OutputFormat::FourK, Source(source), QString(), 640, 360, Out(output))));
    }
};

TEST_F(EncoderHevc, WhatPlaysIsCopiedAsHvc1WithItsHdrAndItsSurroundTrack)
{
    for (const char* name : {"hlg.mp4", "hev1.mp4"}) {
        SCOPED_TRACE(name);
        const auto run = Convert(name, name);
        ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
        EXPECT_TRUE(run.output.contains("copied, already plays on iPhone (video and sound)"))
            << run.output.toStdString();
        const std::string source = media::VideoPacketSums(Source(name));
        ASSERT_FALSE(source.empty());
        EXPECT_EQ(media::VideoPacketSums(Out(name)), source);
        EXPECT_TRUE(media::DecodesCleanly(Out(name)));
        const auto video = media::Probe(Out(name), "v:0");
        EXPECT_EQ(video.value("codec_tag_string"), "hvc1");
        EXPECT_EQ(video.value("profile"), "Main 10");
        EXPECT_EQ(video.value("color_transfer"), "arib-std-b67");
        EXPECT_EQ(video.value("color_primaries"), "bt2020");
        EXPECT_EQ(video.value("r_frame_rate"), "60/1");
        EXPECT_EQ(media::Probe(Out(name), "format").value("TAG:creation_time"), "2024-06-02T08:30:00.000000Z");
    }

    const auto run = Convert("surround.mkv", "surround.mp4");
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_TRUE(run.output.contains("copied, already plays on iPhone (video; sound encoded)"))
        << run.output.toStdString();
    EXPECT_EQ(media::VideoPacketSums(Out("surround.mp4")), media::VideoPacketSums(Source("surround.mkv")));
    const auto stereo = media::Probe(Out("surround.mp4"), "a:0");
    const auto kept = media::Probe(Out("surround.mp4"), "a:1");
    EXPECT_EQ(stereo.value("codec_name"), "aac");
    EXPECT_EQ(stereo.value("channels"), "2");
    EXPECT_EQ(stereo.value("DISPOSITION:default"), "1");
    EXPECT_EQ(kept.value("codec_name"), "ac3");
    EXPECT_EQ(kept.value("channels"), "6");
    EXPECT_EQ(kept.value("DISPOSITION:default"), "0");
    // Dolby Vision's record is kept beside the HEVC one.
    const auto dolby = Convert("dolby.mp4", "dolby.mp4");
    ASSERT_EQ(dolby.exitCode, 0) << dolby.output.toStdString();
    EXPECT_EQ(media::VideoPacketSums(Out("dolby.mp4")), media::VideoPacketSums(Source("dolby.mp4")));
    const auto record = media::Probe(Out("dolby.mp4"), "v:0");
    EXPECT_EQ(record.value("dv_profile"), "8");
    EXPECT_EQ(record.value("dv_bl_signal_compatibility_id"), "4");
    EXPECT_EQ(record.value("codec_tag_string"), "hvc1");
    EXPECT_EQ(OutputFolder(), QStringList({"dolby.mp4", "hev1.mp4", "hlg.mp4", "surround.mp4"}));
}

TEST_F(EncoderHevc, WhatDoesNotPlayIsEncodedInHevcWithItsTransferKept)
{
    struct Case
    {
        const char* source;
        const char* profile;
        const char* pixels;
        const char* transfer;
    };
    for (const Case& c : {Case {"old.mkv", "Main", "yuv420p", "unknown"},
                          Case {"studio.mkv", "Main 10", "yuv420p10le", "arib-std-b67"}}) {
        SCOPED_TRACE(c.source);
        const auto run = Convert(c.source, "out.mp4");
        ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
        EXPECT_FALSE(run.output.contains("already plays")) << run.output.toStdString();
        const auto video = media::Probe(Out("out.mp4"), "v:0");
        EXPECT_EQ(video.value("codec_name"), "hevc");
        EXPECT_EQ(video.value("codec_tag_string"), "hvc1");
        EXPECT_EQ(video.value("profile"), c.profile);
        EXPECT_EQ(video.value("pix_fmt"), c.pixels);
        EXPECT_EQ(video.value("color_transfer"), c.transfer);
        EXPECT_EQ(video.value("r_frame_rate"), "60/1");
        EXPECT_TRUE(media::DecodesCleanly(Out("out.mp4")));
    }
    // PQ stays PQ, and its mastering display and light levels reach the encoded stream.
    const auto run = Convert("hdr10.mp4", "hdr10.mp4");
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_EQ(media::Probe(Out("hdr10.mp4"), "v:0").value("color_transfer"), "smpte2084");
    const QString side = FirstFrameSideData(Out("hdr10.mp4"));
    for (const char* fact :
         {"red_x=34000/50000", "green_x=13250/50000", "blue_y=3000/50000", "white_point_y=16450/50000",
          "max_luminance=10000000/10000", "min_luminance=50/10000", "max_content=1000", "max_average=400"})
        EXPECT_TRUE(side.contains(fact)) << fact << " in " << side.toStdString();
}

} // namespace
