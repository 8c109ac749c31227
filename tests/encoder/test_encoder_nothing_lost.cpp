// Nothing is lost quietly: a source that ends early is a failed encode, not a shorter video.
#include "support/EncoderBridge.h"
#include "support/MediaFixtures.h"
#include "support/MediaSuite.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

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
            // Large enough that ffmpeg cannot have read all of it a second into a paced encode.
            && media::Generate({"-f", "lavfi", "-i", "testsrc=size=640x360:rate=25:duration=6", "-pix_fmt", "yuv420p",
                                "-c:v", "mpeg4", "-q:v", "1"},
                               Source("paced.avi"));
        if (ok_) {
            QFile full(Source("eight.mp4"));
            ok_ = full.open(QIODevice::ReadOnly);
            const QByteArray bytes = full.readAll();
            // The index is at the front and still promises 8 s; the second half of the media is gone.
            QFile half(Source("half.mp4"));
            ok_ = ok_ && half.open(QIODevice::WriteOnly) && half.write(bytes.left(bytes.size() / 2)) > 0;
        }
    }
};

TEST_F(EncoderNothingLost, ASourceCutInHalfFailsInsteadOfBecomingAShortVideo)
{
    const auto run = bridge::Run(bridge::EncodeArguments(Source("half.mp4"), Out("half.mp4"), 320, 240));
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(run.output.contains("the source is cut short or damaged, no output written"))
        << run.output.toStdString();
    EXPECT_TRUE(run.output.contains("source declares 8.00 s")) << run.output.toStdString();
    EXPECT_TRUE(OutputFolder().isEmpty()) << OutputFolder().join(' ').toStdString();

    // The whole file goes through.
    const auto whole = bridge::Run(bridge::EncodeArguments(Source("eight.mp4"), Out("eight.mp4"), 320, 240));
    ASSERT_EQ(whole.exitCode, 0) << whole.output.toStdString();
    EXPECT_NEAR(media::Probe(Out("eight.mp4"), "format").value("duration").toDouble(), 8.0, 0.1);
}

TEST_F(EncoderNothingLost, StreamsOfDifferentLengthsAreNoShortfall)
{
    for (const char* name : {"longsound.mkv", "longpicture.mp4"}) {
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
    EXPECT_TRUE(output.contains("no output written")) << output.toStdString();
    EXPECT_EQ(OutputFolder(), QStringList {"paced.avi"});
}

} // namespace
