// The HEVC output for today's iPhones, through the bridge on small clips made at test time: what plays is copied
// (HDR and a surround track kept, HEVC written as hvc1), the rest encoded in HEVC with HDR kept.
#include "support/EncoderBridge.h"
#include "support/MediaFixtures.h"
#include "support/MediaSuite.h"

namespace {

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
            // What no iPhone plays: MPEG-4 Part 2, and HEVC 4:2:2 in HLG.
            && media::Generate(picture + sound + QStringList {"-c:v", "mpeg4", "-c:a", "aac"}, Source("old.mkv"))
            && media::Generate(picture + x265 + hlg + QStringList {"-pix_fmt", "yuv422p10le"}, Source("studio.mkv"));
    }

    // The program's line for the 4K output, fitted to the clips' size.
    bridge::Result Convert(const QString& source, const QString& output) const
    {
        return bridge::Run({"-y",      "-i",       Source(source), "-f",       "mp4",    "-vcodec",  "libx265",
                            "-crf",    "26",       "-preset",      "fast",     "-level", "51",       "-s",
                            "640x360", "-bufsize", "120M",         "-maxrate", "100M",   "-threads", "auto",
                            "-acodec", "libfaac",  "-ac",          "2",        "-ab",    "160k",     Out(output)});
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
    EXPECT_EQ(OutputFolder(), QStringList({"hev1.mp4", "hlg.mp4", "surround.mp4"}));
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
}

} // namespace
