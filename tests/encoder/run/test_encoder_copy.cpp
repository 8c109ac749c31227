// A video that already plays on iPhone is copied, not encoded again: through the bridge and the command-line
// batch, on small videos made at test time.
#include "conversion/EncoderCommand.h"
#include "conversion/OutputFormat.h"
#include "support/EncoderBridge.h"
#include "support/MediaFixtures.h"
#include "support/MediaSuite.h"
#include "support/TestPaths.h"

#include <QFile>
#include <QProcess>
#include <algorithm>

namespace {

class EncoderCopy : public MediaSuite<EncoderCopy>
{
protected:
    static void SetUpTestSuite()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        const QString seconds = "duration=2";
        const QStringList sound {"-f", "lavfi", "-i", "sine=frequency=440:sample_rate=48000:" + seconds};
        const QStringList x264 {"-pix_fmt", "yuv420p", "-c:v", "libx264", "-c:a", "aac", "-ac", "2", "-b:a", "192k"};
        // A phone's portrait clip: H.264 High, 30 fps, stored landscape and turned a quarter.
        ok_ = media::Generate(QStringList {"-f", "lavfi", "-i", "testsrc2=size=640x360:rate=30:" + seconds} + sound
                                  + x264,
                              Source("landscape.mp4"))
            && media::Generate({"-i", Source("landscape.mp4"), "-c", "copy", "-metadata:s:v:0", "rotate=90",
                                "-metadata", "creation_time=2024-06-02T08:30:00Z"},
                               Source("phone.mp4"))
            // The classic output's own coding, in Matroska.
            && media::Generate(QStringList {"-f", "lavfi", "-i", "testsrc2=size=320x240:rate=25:" + seconds} + sound
                                   + x264 + QStringList {"-preset", "ultrafast"},
                               Source("small.mkv"))
            // One step away: 60 fps.
            && media::Generate(QStringList {"-f", "lavfi", "-i", "testsrc2=size=640x360:rate=60:" + seconds} + sound
                                   + x264,
                               Source("fast.mkv"))
            // What the Full HD output is, with B-frames, in AVI: no shown times to keep their order.
            && media::Generate(QStringList {"-f", "lavfi", "-i", "testsrc2=size=320x240:rate=30:" + seconds} + sound
                                   + x264 + QStringList {"-bf", "2"},
                               Source("reordered.avi"));
    }

    QString Line(const QString& source, int width, int height, const QString& cap = QString()) const
    {
        const QString name = QFileInfo(source).completeBaseName() + ".mp4";
        return EncoderCommand(OutputFormat::FullHd, Source(source), cap, width, height, Out(name));
    }
};

TEST_F(EncoderCopy, TheBridgeCopiesWhatAlreadyPlaysAndSaysSo)
{
    const auto run = bridge::Run(bridge::ArgumentsOf(Line("phone.mp4", 360, 640)));
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_TRUE(run.output.contains("ffmpeg.exe: copied, already plays on iPhone (video and sound)\n"))
        << run.output.toStdString();
    // The progress still reaches the end.
    const QList<double> positions = bridge::ReportedPositions(run.output);
    ASSERT_FALSE(positions.isEmpty()) << run.output.toStdString();
    EXPECT_NEAR(positions.last(), 2.0, 0.1);

    const std::string source = media::VideoPacketSums(Source("phone.mp4"));
    ASSERT_EQ(std::count(source.begin(), source.end(), '\n'), 59);
    EXPECT_EQ(media::VideoPacketSums(Out("phone.mp4")), source);
    EXPECT_TRUE(media::DecodesCleanly(Out("phone.mp4")));
    const auto video = media::Probe(Out("phone.mp4"), "v:0");
    EXPECT_EQ(video.value("rotation"), media::Probe(Source("phone.mp4"), "v:0").value("rotation"));
    EXPECT_FALSE(video.value("rotation").isEmpty());
    EXPECT_EQ(media::Probe(Out("phone.mp4"), "format").value("TAG:creation_time"), "2024-06-02T08:30:00.000000Z");
    const auto audio = media::Probe(Out("phone.mp4"), "a:0");
    EXPECT_NEAR(audio.value("bit_rate").toDouble(), 192000, 20000) << "the sound is the source's, not 160k";
    // A fresh MP4 with its index in front.
    QFile file(Out("phone.mp4"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_LT(bytes.indexOf("moov"), bytes.indexOf("mdat"));

    const auto small = bridge::Run(bridge::EncodeArguments(Source("small.mkv"), Out("small.mp4"), 320, 240));
    ASSERT_EQ(small.exitCode, 0) << small.output.toStdString();
    EXPECT_TRUE(small.output.contains("copied, already plays on iPhone (video and sound)"))
        << small.output.toStdString();
    EXPECT_EQ(media::VideoPacketSums(Out("small.mp4")), media::VideoPacketSums(Source("small.mkv")));
    EXPECT_EQ(OutputFolder(), QStringList({"phone.mp4", "small.mp4"}));
}

TEST_F(EncoderCopy, ACopyFfmpegCannotMakeIsEncodedInstead)
{
    QTemporaryDir tools;
    QFile wrapper(tools.filePath("ffmpeg"));
    ASSERT_TRUE(wrapper.open(QIODevice::WriteOnly));
    wrapper.write("#!/bin/sh\ncase \" $* \" in *\" -c:v copy \"*) echo 'cannot copy' >&2; exit 1;; esac\n"
                  "exec /usr/bin/ffmpeg \"$@\"\n");
    wrapper.close();
    ASSERT_TRUE(wrapper.setPermissions(wrapper.permissions() | QFileDevice::ExeOwner));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("PATH", tools.path() + ":" + environment.value("PATH"));

    const auto run = bridge::Run(bridge::ArgumentsOf(Line("phone.mp4", 360, 640)), QString(), environment);
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_TRUE(run.output.contains("cannot copy\n")) << run.output.toStdString();
    EXPECT_TRUE(run.output.contains("ffmpeg.exe: the video cannot be copied as it is; it is encoded instead\n"));
    EXPECT_FALSE(run.output.contains("already plays")) << run.output.toStdString();
    EXPECT_EQ(media::X264Settings(Out("phone.mp4")).value("bframes"), "3");
    EXPECT_EQ(OutputFolder(), QStringList {"phone.mp4"});
}

TEST_F(EncoderCopy, ReorderedPicturesOfAFileWithoutShownTimesAreEncoded)
{
    const auto run = bridge::Run(bridge::ArgumentsOf(Line("reordered.avi", 320, 240)));
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_FALSE(run.output.contains("already plays")) << run.output.toStdString();
    EXPECT_TRUE(media::DecodesCleanly(Out("reordered.mp4")));
}

TEST_F(EncoderCopy, TheCommandLineSaysWhichFileWasCopiedAndWhichEncoded)
{
    QTemporaryDir config;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", config.path());
    p.setProcessEnvironment(env);
    p.start(programFolder() + "/reelpocket",
            {"--convert", "--full-hd", "--to", out_.path(), Source("phone.mp4"), Source("fast.mkv")});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QString out = QString::fromLocal8Bit(p.readAllStandardOutput());
    ASSERT_EQ(p.exitCode(), 0) << out.toStdString() << p.readAllStandardError().toStdString();
    EXPECT_TRUE(out.contains("\nCopied, already plays on iPhone: " + Source("phone.mp4") + "\n")) << out.toStdString();
    EXPECT_TRUE(out.contains("\nConverted: " + Source("fast.mkv") + "\n")) << out.toStdString();
    EXPECT_EQ(OutputFolder(), QStringList({"fast.mp4", "phone.mp4"}));

    EXPECT_EQ(media::VideoPacketSums(Out("phone.mp4")), media::VideoPacketSums(Source("phone.mp4")));
    // The 60 fps clip was encoded at 30 fps by x264 with the Full HD settings.
    EXPECT_EQ(media::X264Settings(Out("fast.mp4")).value("bframes"), "3");
    EXPECT_EQ(media::Probe(Out("fast.mp4"), "v:0").value("r_frame_rate"), "30/1");
}

} // namespace
