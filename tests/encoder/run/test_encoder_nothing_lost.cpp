// Nothing is lost quietly: a source that ends early is a failed encode, not a shorter video.
#include "support/EncoderBridge.h"
#include "support/MediaFixtures.h"
#include "support/MediaSuite.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <sys/mount.h>

namespace {

class EncoderNothingLost : public MediaSuite<EncoderNothingLost>
{
protected:
    static void SetUpTestSuite()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        const QStringList x264 {"-c:v", "libx264", "-preset", "ultrafast", "-c:a", "aac"};
        ok_ = media::MakeClip(Source("eight.mp4"), "320x240:rate=25", 8, QStringList {"-movflags", "+faststart"} + x264)
            // Real files whose streams differ in length: the sound outlasts the picture, or the other way.
            && media::Generate({"-f", "lavfi", "-i", "testsrc=size=320x240:rate=25:duration=3", "-f", "lavfi", "-i",
                                "sine=duration=3.4", "-pix_fmt", "yuv420p", "-c:v", "libx264", "-c:a", "aac"},
                               Source("longsound.mkv"))
            && media::Generate({"-f", "lavfi", "-i", "testsrc=size=320x240:rate=25:duration=3.4", "-f", "lavfi", "-i",
                                "sine=duration=3", "-pix_fmt", "yuv420p", "-c:v", "libx264", "-c:a", "aac"},
                               Source("longpicture.mp4"))
            // Thirty seconds, long enough that 2 % of it is more than the half-second floor; silent, as sound
            // would cost most of the encode.
            && media::MakeClip(Source("thirty.mp4"), "64x48:rate=10", 30,
                               QStringList {"-movflags", "+faststart"} + x264, false)
            // Large enough that ffmpeg cannot have read all of it a second into a paced encode.
            && media::Generate({"-f", "lavfi", "-i", "testsrc=size=640x360:rate=25:duration=6", "-pix_fmt", "yuv420p",
                                "-c:v", "mpeg4", "-q:v", "1"},
                               Source("paced.avi"));
        // The index is at the front and still promises the whole length; the rest of the media is gone.
        ok_ = ok_ && Cut("eight.mp4", "half.mp4", 0.5) && Cut("thirty.mp4", "most.mp4", 0.85);
        // The last subtitle outlasts picture and sound, so the file as a whole lasts two seconds longer.
        QFile subtitles(Source("late.srt"));
        ok_ = ok_ && subtitles.open(QIODevice::WriteOnly)
            && subtitles.write("1\n00:00:00,500 --> 00:00:01,000\nFirst\n\n2\n00:00:04,500 --> 00:00:05,000\nLast\n\n")
                > 0;
        subtitles.close();
        ok_ = ok_
            && media::Generate({"-f",       "lavfi",
                                "-i",       "testsrc=size=160x120:rate=25:duration=3",
                                "-f",       "lavfi",
                                "-i",       "sine=duration=3",
                                "-i",       Source("late.srt"),
                                "-map",     "0",
                                "-map",     "1",
                                "-map",     "2",
                                "-pix_fmt", "yuv420p",
                                "-c:v",     "libx264",
                                "-preset",  "ultrafast",
                                "-c:a",     "aac",
                                "-c:s",     "srt"},
                               Source("longsubtitles.mkv"));
    }

    static bool Cut(const QString& from, const QString& to, double share)
    {
        QFile full(Source(from));
        if (!full.open(QIODevice::ReadOnly))
            return false;
        const QByteArray bytes = full.readAll();
        QFile part(Source(to));
        return part.open(QIODevice::WriteOnly)
            && part.write(bytes.left(static_cast<qsizetype>(bytes.size() * share))) > 0;
    }
};

TEST_F(EncoderNothingLost, ASourceCutShortFailsInsteadOfBecomingAShortVideo)
{
    // Half of eight seconds, and 85 % of thirty: a shortfall well past the 2 % allowed, though within 20 %.
    for (const auto& [name, declared] : {std::pair {"half.mp4", "8.00"}, std::pair {"most.mp4", "30.00"}}) {
        SCOPED_TRACE(name);
        const auto run = bridge::Run(bridge::EncodeArguments(Source(name), Out("out.mp4"), 64, 48));
        EXPECT_NE(run.exitCode, 0);
        // The output's length, then the length the source declares.
        const QRegularExpression line(QString("\nffmpeg.exe: failed: source-short [0-9]+\\.[0-9]{2} ") + declared
                                      + "\n");
        EXPECT_TRUE(run.output.contains(line)) << run.output.toStdString();
        EXPECT_TRUE(OutputFolder().isEmpty()) << OutputFolder().join(' ').toStdString();
    }

    // The whole file goes through.
    const auto whole = bridge::Run(bridge::EncodeArguments(Source("eight.mp4"), Out("eight.mp4"), 320, 240));
    ASSERT_EQ(whole.exitCode, 0) << whole.output.toStdString();
    EXPECT_NEAR(media::Probe(Out("eight.mp4"), "format").value("duration").toDouble(), 8.0, 0.1);
}

TEST_F(EncoderNothingLost, StreamsOfDifferentLengthsAreNoShortfall)
{
    for (const char* name : {"longsound.mkv", "longpicture.mp4", "longsubtitles.mkv"}) {
        SCOPED_TRACE(name);
        const auto run = bridge::Run(bridge::EncodeArguments(Source(name), Out("out.mp4"), 320, 240));
        EXPECT_EQ(run.exitCode, 0) << run.output.toStdString();
        EXPECT_EQ(OutputFolder(), QStringList {"out.mp4"});
    }
}

TEST_F(EncoderNothingLost, ASourceReplacedDuringItsEncodeFails)
{
    const QString source = Out("paced.avi");
    ASSERT_TRUE(QFile::copy(Source("paced.avi"), source));
    QFile original(source);
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    const QByteArray bytes = original.readAll();
    original.close();

    // "-re" reads the source at its own pace, so the encode is still reading when the file is rewritten.
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(bridge::Path(), QStringList {"-re"} + bridge::EncodeArguments(source, Out("paced.mp4"), 320, 180));
    ASSERT_TRUE(process.waitForStarted());
    QByteArray output;
    const auto position = [&output] {
        const QList<double> positions = bridge::ReportedPositions(QString::fromUtf8(output));
        return positions.isEmpty() ? 0.0 : positions.last();
    };
    while (position() < 1.0 && process.waitForReadyRead(10000))
        output += process.readAll();
    ASSERT_GE(position(), 1.0) << output.toStdString();
    {
        // Saved over by another program: a shorter file under the same name.
        QFile rewrite(source);
        ASSERT_TRUE(rewrite.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(rewrite.write(bytes.left(bytes.size() / 3)), bytes.size() / 3);
    }
    ASSERT_TRUE(process.waitForFinished(60000));
    output += process.readAll();
    EXPECT_NE(process.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("\nffmpeg.exe: failed: ")) << output.toStdString();
    EXPECT_EQ(OutputFolder(), QStringList {"paced.avi"});
}

TEST_F(EncoderNothingLost, AFullOrReadOnlyDestinationIsSaidAndLeavesNothing)
{
    // The disk fills up during the encode; ffmpeg itself then still ends with 0.
    const QString full = Out("full");
    ASSERT_TRUE(QDir().mkpath(full));
    ASSERT_EQ(::mount("tmpfs", QFile::encodeName(full).constData(), "tmpfs", 0, "size=64k"), 0) << "needs root";
    const auto run = bridge::Run(bridge::EncodeArguments(Source("eight.mp4"), full + "/eight.mp4", 320, 240));
    const QStringList left = QDir(full).entryList(QDir::Files | QDir::Hidden);
    ::umount(QFile::encodeName(full).constData());
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(run.output.contains("\nffmpeg.exe: failed: destination-full ")) << run.output.toStdString();
    EXPECT_TRUE(left.isEmpty()) << left.join(' ').toStdString();

    ASSERT_EQ(::mount("tmpfs", QFile::encodeName(full).constData(), "tmpfs", MS_RDONLY, nullptr), 0);
    const auto readOnly = bridge::Run(bridge::EncodeArguments(Source("eight.mp4"), full + "/eight.mp4", 320, 240));
    ::umount(QFile::encodeName(full).constData());
    EXPECT_TRUE(readOnly.output.contains("ffmpeg.exe: failed: destination-unwritable "))
        << readOnly.output.toStdString();
}

} // namespace
