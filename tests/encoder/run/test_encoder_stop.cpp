// Stopping the bridge mid-encode: no output, no temporary file, no ffmpeg left behind.
#include "support/EncoderBridge.h"
#include "support/MediaFixtures.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <cerrno>
#include <gtest/gtest.h>
#include <memory>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

class EncoderStop : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        ok_ = media::MakeClip(dir_->filePath("long.mkv"), "160x120:rate=25", 20,
                              {"-c:v", "libx264", "-preset", "ultrafast", "-c:a", "aac"});
    }
    static void TearDownTestSuite() { dir_.reset(); }

    void SetUp() override
    {
        ASSERT_TRUE(ok_) << "test media could not be made";
        ASSERT_TRUE(out_.isValid());
        QFile old(Output());
        ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
    }

    QString Output() const { return out_.filePath("clip.mp4"); }

    // "-re" paces the twenty-second source in real time, so the encode is still running when it is stopped.
    QStringList SlowEncode() const
    {
        return QStringList {"-re"} + bridge::EncodeArguments(dir_->filePath("long.mkv"), Output(), 160, 120);
    }

    // Waits until ffmpeg has reported a position past zero.
    // Starts the slow encode and waits for its first progress report.
    ::testing::AssertionResult StartSlowEncode(QProcess& process) const
    {
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(bridge::Path(), SlowEncode());
        QString output;
        if (WaitForProgress(process, output))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "no progress report: " << output.toStdString();
    }

    static bool WaitForProgress(QProcess& process, QString& output)
    {
        QDeadlineTimer deadline(30000);
        while (!deadline.hasExpired()) {
            process.waitForReadyRead(200);
            output += QString::fromUtf8(process.readAll());
            const QList<double> positions = bridge::ReportedPositions(output);
            if (!positions.isEmpty() && positions.last() > 0)
                return true;
            if (process.state() == QProcess::NotRunning)
                return false;
        }
        return false;
    }

    QStringList Partials() const { return QDir(out_.path()).entryList(QDir::Files | QDir::Hidden).filter(".partial"); }

    // While it runs, the half-written file lies beside the output under another, hidden name.
    void ExpectEncodingInProgress() const
    {
        const QStringList partials = Partials();
        ASSERT_EQ(partials.size(), 1);
        EXPECT_TRUE(partials.first().startsWith(".clip.mp4.partial-")) << partials.first().toStdString();
        // Held by the bridge, so a cleaner that cannot see its pid leaves it alone.
        QFile partial(out_.filePath(partials.first()));
        ASSERT_TRUE(partial.open(QIODevice::ReadOnly));
        EXPECT_NE(::flock(partial.handle(), LOCK_EX | LOCK_NB), 0);
        EXPECT_EQ(errno, EWOULDBLOCK);
        ExpectOldOutput();
        EXPECT_GE(media::ProcessesMentioning(out_.path()).size(), 2); // the bridge and its ffmpeg
    }

    void ExpectOldOutput() const
    {
        QFile file(Output());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), "old");
    }

    // Nothing may still run that names the output folder: neither the bridge nor its ffmpeg.
    void ExpectNothingLeft() const
    {
        QDeadlineTimer deadline(5000);
        while (!media::ProcessesMentioning(out_.path()).isEmpty() && !deadline.hasExpired())
            QThread::msleep(50);
        EXPECT_TRUE(media::ProcessesMentioning(out_.path()).isEmpty());
        EXPECT_TRUE(Partials().isEmpty()) << Partials().join(' ').toStdString();
        ExpectOldOutput();
    }

    static std::unique_ptr<QTemporaryDir> dir_;
    static bool ok_;
    QTemporaryDir out_;
};

std::unique_ptr<QTemporaryDir> EncoderStop::dir_;
bool EncoderStop::ok_ = false;

TEST_F(EncoderStop, TermOrInterruptEndsTheEncodeWithoutAFile)
{
    for (const int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        QProcess process;
        ASSERT_TRUE(StartSlowEncode(process));
        ExpectEncodingInProgress();

        ::kill(static_cast<pid_t>(process.processId()), signal);
        ASSERT_TRUE(process.waitForFinished(5000));
        EXPECT_NE(process.exitCode(), 0);
        EXPECT_TRUE(QString::fromUtf8(process.readAll()).contains("stopped, no output written"));
        ExpectNothingLeft();
    }
}

TEST_F(EncoderStop, AnEncodingBridgeHasNoFfmpegLibraryLoaded)
{
    QProcess process;
    ASSERT_TRUE(StartSlowEncode(process));
    // Loading them costs every encode a tenth of a second before ffmpeg even starts.
    QFile maps("/proc/" + QString::number(process.processId()) + "/maps");
    ASSERT_TRUE(maps.open(QIODevice::ReadOnly));
    const QByteArray mapped = maps.readAll();
    EXPECT_TRUE(mapped.contains("libstdc++")) << "not the bridge's own map";
    EXPECT_FALSE(mapped.contains("libavformat")) << mapped.toStdString();
    EXPECT_FALSE(mapped.contains("libavcodec"));
    EXPECT_FALSE(mapped.contains("reelpocket-probe"));

    ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
    ASSERT_TRUE(process.waitForFinished(5000));
    ExpectNothingLeft();
}

TEST_F(EncoderStop, TermToTheWholeProcessGroupAsTheProgramSendsIt)
{
    QProcess process;
    process.setChildProcessModifier([] { ::setpgid(0, 0); });
    ASSERT_TRUE(StartSlowEncode(process));
    ExpectEncodingInProgress();

    ::kill(-static_cast<pid_t>(process.processId()), SIGTERM);
    ASSERT_TRUE(process.waitForFinished(5000));
    EXPECT_NE(process.exitCode(), 0);
    ExpectNothingLeft();
}

TEST_F(EncoderStop, KillingTheParentEndsBridgeAndFfmpeg)
{
    // A stand-in parent that is killed outright, as a crashing program would be.
    QProcess parent;
    parent.setProcessChannelMode(QProcess::MergedChannels);
    parent.start("/bin/sh", QStringList {"-c", "\"$0\" \"$@\"; exit 0", bridge::Path()} + SlowEncode());
    QString output;
    ASSERT_TRUE(WaitForProgress(parent, output)) << output.toStdString();
    ExpectEncodingInProgress();

    parent.kill();
    ASSERT_TRUE(parent.waitForFinished(5000));
    ExpectNothingLeft();
}

TEST_F(EncoderStop, TheNextEncodeRemovesWhatAKilledBridgeLeftAndNothingElse)
{
    QProcess process;
    ASSERT_TRUE(StartSlowEncode(process));
    ExpectEncodingInProgress();

    // SIGKILL cannot be caught: the bridge has no chance to clean up.
    ::kill(static_cast<pid_t>(process.processId()), SIGKILL);
    ASSERT_TRUE(process.waitForFinished(5000));
    QDeadlineTimer deadline(5000);
    while (!media::ProcessesMentioning(out_.path()).isEmpty() && !deadline.hasExpired())
        QThread::msleep(50);
    ASSERT_TRUE(media::ProcessesMentioning(out_.path()).isEmpty()); // its ffmpeg went with it
    const QStringList stale = Partials();
    ASSERT_EQ(stale.size(), 1);

    // ".clip.mp4.partial-HOST-PID-XXXXXX": files of the same form owned by a live process, made on another
    // machine, or of another form entirely, must all survive.
    const QStringList parts = stale.first().split('-');
    ASSERT_EQ(parts.size(), 4) << stale.first().toStdString();
    const QString host = parts[1];
    const QString live = ".other.mp4.partial-" + host + "-" + QString::number(::getpid()) + "-abcDE1";
    const QString elsewhere
        = ".other.mp4.partial-" + QString(host).replace(0, 1, host[0] == 'f' ? "e" : "f") + "-" + parts[2] + "-abcDE2";
    // So must one whose pid looks dead but whose writer still holds it: a bridge in another sandbox, whose
    // pids this one cannot see.
    const QString held = ".held.mp4.partial-" + host + "-" + parts[2] + "-abcDE4";
    const QStringList keep {live,
                            elsewhere,
                            "other.mp4.partial-" + host + "-" + parts[2] + "-abcDE3",
                            ".other.mp4.partial-" + host + "-" + parts[2] + "-abc",
                            ".notes.txt",
                            held};
    for (const QString& name : keep) {
        QFile file(out_.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    QFile holder(out_.filePath(held));
    ASSERT_TRUE(holder.open(QIODevice::ReadWrite));
    ASSERT_EQ(::flock(holder.handle(), LOCK_EX | LOCK_NB), 0);

    const auto next
        = bridge::Run(bridge::EncodeArguments(dir_->filePath("long.mkv"), out_.filePath("next.mp4"), 160, 120));
    ASSERT_EQ(next.exitCode, 0) << next.output.toStdString();
    const QStringList left = QDir(out_.path()).entryList(QDir::Files | QDir::Hidden);
    EXPECT_FALSE(left.contains(stale.first()));
    for (const QString& name : keep)
        EXPECT_TRUE(left.contains(name)) << name.toStdString();
    EXPECT_TRUE(left.contains("next.mp4"));
    ExpectOldOutput();
}

} // namespace
