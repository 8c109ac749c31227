#include "conversion/EncodingJob.h"

#include "support/TestWindow.h"
#include "window/Twips.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString ProbeText(const QString& size, const QString& fps, const QString& duration = QStringLiteral("00:00:10.00"))
{
    return QStringLiteral("Input #0, avi, from 'clip.avi':\n  Duration: ") + duration
        + QStringLiteral(", start: 0.000000, bitrate: 900 kb/s\n    Stream #0.0: Video: mpeg4, yuv420p, ") + size
        + QStringLiteral(" [PAR 1:1 DAR 4:3], ") + fps
        + QStringLiteral(" tb(r)\n    Stream #0.1: Audio: mp3, 44100 Hz, stereo, fltp, 128 kb/s\n"
                         "At least one output file must be specified\n");
}

void Touch(const QString& path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write("old output");
}

// A window whose destination is a fresh folder and whose batch holds the given sources.
struct JobWindow : TestWindow
{
    explicit JobWindow(const QStringList& sources)
    {
        EXPECT_TRUE(out.isValid());
        c().txtDestination->setText(out.path() + "/");
        for (int i = 0; i < sources.size(); ++i)
            c().batch->Jobs[i].File = sources.at(i);
        SetCheckValue(c().chkSubtitles, 0);
    }
    // Prepares row `row` with the given probe output.
    bool prepare(int row, const QString& res)
    {
        c().batch->CurrentIndex = static_cast<qint16>(row);
        c().batch->Destination = c().txtDestination->text();
        c().batch->Options = f().CurrentBatchOptions();
        c().batch->Options.Overwrite = overwrite;
        return c().batch->PrepareJob(res);
    }
    const Job& job(int row) { return c().batch->Jobs[row]; }
    QString dest(const QString& name) { return out.path() + "/" + name; }
    bool cancelledLook() { return c().lblStatus->title() == t("cmdCancel_ed"); }
    QTemporaryDir out;
    int overwrite = 1; // the option as last saved
};

} // namespace

TEST(ComputeOutputSize, EveryWorkedValue)
{
    const struct
    {
        const char* w;
        const char* h;
        QSize expected;
    } rows[] = {
        {"640", "480", {480, 360}},   {"720", "576", {480, 384}},   {"720", "480", {480, 320}},
        {"1280", "720", {480, 270}},  {"1920", "1080", {480, 270}}, {"720", "640", {480, 428}},
        {"480", "640", {360, 480}},   {"500", "500", {480, 480}},   {"352", "288", {352, 288}},
        {"321", "241", {321, 241}},   {" 640", "480", {480, 360}},  {"480", "480", {480, 480}},
        {"1080", "1920", {270, 480}}, {"640", "720", {428, 480}},
    };
    for (const auto& row : rows) {
        const auto size = ComputeOutputSize(row.w, row.h);
        ASSERT_TRUE(size) << row.w << "x" << row.h;
        EXPECT_EQ(*size, row.expected) << row.w << "x" << row.h;
    }
}

TEST(ComputeOutputSize, AZeroSideCannotBeEncoded)
{
    EXPECT_FALSE(ComputeOutputSize("0", "720"));
    EXPECT_FALSE(ComputeOutputSize("1280", "0"));
    EXPECT_FALSE(ComputeOutputSize("0", "0"));
    EXPECT_FALSE(ComputeOutputSize("abc", "480"));
    // Sides past any number (their ratio is not a number) and sides that scale down to nothing.
    const QString huge(400, QLatin1Char('9'));
    EXPECT_FALSE(ComputeOutputSize(huge, huge));
    EXPECT_FALSE(ComputeOutputSize(huge, "480"));
    EXPECT_FALSE(ComputeOutputSize("16384", "2"));
    EXPECT_FALSE(ComputeOutputSize("2", "16384"));
    EXPECT_FALSE(ComputeOutputSize("0.5", "0.25"));
    EXPECT_EQ(ComputeOutputSize("1000", "100"), QSize(480, 48));
}

TEST(IsEven, RemainderWithTheSignOfTheNumber)
{
    EXPECT_TRUE(IsEven(0));
    EXPECT_TRUE(IsEven(360));
    EXPECT_FALSE(IsEven(361));
    EXPECT_FALSE(IsEven(-3));
    EXPECT_TRUE(IsEven(-4));
}

TEST(PrepareJob, CommandLineByteForByte)
{
    JobWindow w({"/v/clip.avi"});
    ASSERT_TRUE(w.prepare(0, ProbeText("352x288", "25", "00:01:23.45")));
    ASSERT_TRUE(w.job(0).Infos);
    EXPECT_EQ(w.job(0).Infos->Duration, 83);
    EXPECT_EQ(w.job(0).Infos->Width, 352);
    EXPECT_EQ(w.job(0).Infos->Height, 288);
    EXPECT_EQ(w.job(0).Infos->FrameRate, 25);
    EXPECT_EQ(w.job(0).pbarmax, 83);
    EXPECT_EQ(w.job(0).ffcmd,
              "ffmpeg.exe -y -i \"/v/clip.avi\" -f mp4 -vcodec libx264 -crf 21 -subq 4 -level 30 -refs 2 -me hex "
              "-partitions +parti4x4+partp4x4+partp8x8+partb8x8 -s 352x288 -bufsize 4M -maxrate 1.5M -g 250 "
              "-coder 0 -threads auto -acodec libfaac -ac 2 -ab 128k \""
                  + w.dest("clip.mp4") + "\"");
    EXPECT_TRUE(w.fake.messages->shown.isEmpty());

    ASSERT_TRUE(w.prepare(0, ProbeText("1280x720", "59.94")));
    EXPECT_TRUE(w.job(0).ffcmd.startsWith("ffmpeg.exe -y -i \"/v/clip.avi\" -r 30 -f mp4 -vcodec"));
    EXPECT_TRUE(w.job(0).ffcmd.contains(" -s 480x270 -bufsize "));
}

TEST(PrepareJob, FrameRateCapOnlyAboveThirty)
{
    JobWindow w({"/v/clip.avi"});
    for (const char* fps : {"25", "29.97", "30", "23.976"}) {
        ASSERT_TRUE(w.prepare(0, ProbeText("640x480", fps)));
        EXPECT_FALSE(w.job(0).ffcmd.contains(" -r 30")) << fps;
    }
    for (const char* fps : {"50", "59.94", "30.01"}) {
        ASSERT_TRUE(w.prepare(0, ProbeText("640x480", fps)));
        EXPECT_TRUE(w.job(0).ffcmd.contains("\"/v/clip.avi\" -r 30 -f mp4")) << fps;
    }
}

TEST(PrepareJob, OverwriteQuestionComesFirstAndNoStops)
{
    JobWindow w({"/v/clip.avi"});
    Touch(w.dest("clip.mp4"));
    w.fake.messages->answers = {false};
    // Asked even though the source turns out unreadable later.
    EXPECT_FALSE(w.prepare(0, "/v/clip.avi: Unknown format\n"));
    ASSERT_EQ(w.fake.messages->asked.size(), 1);
    EXPECT_EQ(w.fake.messages->asked[0], w.dest("clip.mp4") + ":\n" + w.t("cmdConvert_overwrite"));
    EXPECT_TRUE(w.fake.messages->shown.isEmpty());
    EXPECT_TRUE(w.cancelledLook());
    EXPECT_TRUE(w.job(0).ffcmd.isEmpty());

    w.fake.messages->answers = {true};
    EXPECT_TRUE(w.prepare(0, ProbeText("640x480", "25")));
    EXPECT_EQ(w.fake.messages->asked.size(), 2);
}

TEST(PrepareJob, NoQuestionUnlessTheOptionIsTicked)
{
    for (int option : {0, 2}) {
        JobWindow w({"/v/clip.avi"});
        Touch(w.dest("clip.mp4"));
        w.overwrite = option;
        EXPECT_TRUE(w.prepare(0, ProbeText("640x480", "25")));
        EXPECT_TRUE(w.fake.messages->asked.isEmpty());
    }
    // No question either when the output does not exist yet.
    JobWindow w({"/v/clip.avi"});
    EXPECT_TRUE(w.prepare(0, ProbeText("640x480", "25")));
    EXPECT_TRUE(w.fake.messages->asked.isEmpty());
}

TEST(PrepareJob, SourceThatWouldBeItsOwnOutput)
{
    JobWindow w({});
    const QString source = w.dest("clip.mp4");
    w.c().batch->Jobs[0].File = source;
    EXPECT_FALSE(w.prepare(0, ProbeText("640x480", "25")));
    ASSERT_EQ(w.fake.messages->shown.size(), 1);
    EXPECT_EQ(w.fake.messages->shown[0], source + ":\n" + w.t("error_SourceDestintaionSame"));
    EXPECT_TRUE(w.cancelledLook());

    // Texts differing in case name another file here.
    w.c().batch->Jobs[0].File = w.dest("clip.MP4");
    EXPECT_TRUE(w.prepare(0, ProbeText("640x480", "25")));
}

TEST(PrepareJob, OtherSpellingsOfTheOutputAreTheSameFile)
{
    JobWindow w({});
    Touch(w.dest("clip.mp4"));
    ASSERT_TRUE(QFile::link(w.dest("clip.mp4"), w.dest("link.mp4")));
    w.overwrite = 0;
    for (const QString& spelling : {w.out.path() + "//clip.mp4", w.out.path() + "/./clip.mp4"}) {
        w.fake.messages->shown.clear();
        w.c().batch->Jobs[0].File = spelling;
        EXPECT_FALSE(w.prepare(0, ProbeText("640x480", "25"))) << spelling.toStdString();
        ASSERT_EQ(w.fake.messages->shown.size(), 1);
        EXPECT_EQ(w.fake.messages->shown[0], spelling + ":\n" + w.t("error_SourceDestintaionSame"));
    }
    // The source is a link whose own output name is the file it points to.
    w.c().txtDestination->setText(w.out.path() + "/sub/");
    QDir(w.out.path()).mkdir("sub");
    ASSERT_TRUE(QFile::link(w.dest("clip.mp4"), w.dest("sub/clip.mp4")));
    w.c().batch->Jobs[0].File = w.dest("clip.mp4");
    w.fake.messages->shown.clear();
    EXPECT_FALSE(w.prepare(0, ProbeText("640x480", "25")));
    EXPECT_EQ(w.fake.messages->shown.size(), 1);
}

TEST(PrepareJob, UnreadableSources)
{
    JobWindow w({"/v/clip.avi"});
    const QString badsource = "/v/clip.avi:\n" + w.t("error_badsource");
    const QString refused[] = {
        "/v/clip.avi: Unknown format\n" + ProbeText("640x480", "25"),
        "/v/clip.avi: no such file or directory\n",
        // The capitalised phrase is not looked for, but without a video line the parse finds nothing.
        "/v/clip.avi: No such file or directory\n",
        "",
        ProbeText("0x720", "25"),
        ProbeText("1280x0", "25"),
    };
    for (const QString& res : refused) {
        w.fake.messages->shown.clear();
        EXPECT_FALSE(w.prepare(0, res)) << res.toStdString();
        ASSERT_EQ(w.fake.messages->shown.size(), 1) << res.toStdString();
        EXPECT_EQ(w.fake.messages->shown[0], badsource);
        EXPECT_TRUE(w.cancelledLook());
    }
    EXPECT_TRUE(w.prepare(0, "Error: No such file or directory somewhere\n" + ProbeText("640x480", "25")));
}

TEST(PrepareJob, QuoteInASourcePathIsRefused)
{
    JobWindow w({"/v/say \"hi\".avi"});
    EXPECT_FALSE(w.prepare(0, ProbeText("640x480", "25")));
    ASSERT_EQ(w.fake.messages->shown.size(), 1);
    EXPECT_EQ(w.fake.messages->shown[0], "/v/say \"hi\".avi:\n" + w.t("error_badsource"));
    EXPECT_TRUE(w.job(0).ffcmd.isEmpty());
}

TEST(PrepareJob, TwoSourcesWithOneOutputName)
{
    JobWindow w({"/v/clip.avi", "/w/other.avi", "/w/clip.mkv"});
    EXPECT_TRUE(w.prepare(0, ProbeText("640x480", "25")));
    EXPECT_TRUE(w.prepare(1, ProbeText("640x480", "25")));
    EXPECT_FALSE(w.prepare(2, ProbeText("640x480", "25")));
    ASSERT_EQ(w.fake.messages->shown.size(), 1);
    EXPECT_EQ(w.fake.messages->shown[0], "/w/clip.mkv:\n" + w.t("error_sameoutput"));
    EXPECT_NE(w.t("error_sameoutput"), "error_sameoutput");
    EXPECT_TRUE(w.cancelledLook());

    // On a FAT stick or a Windows share "Clip.mp4" and "clip.mp4" are one file.
    JobWindow cased({"/v/Clip.avi", "/w/clip.mkv"});
    EXPECT_TRUE(cased.prepare(0, ProbeText("640x480", "25")));
    EXPECT_FALSE(cased.prepare(1, ProbeText("640x480", "25")));
    EXPECT_EQ(cased.fake.messages->shown, QStringList {"/w/clip.mkv:\n" + w.t("error_sameoutput")});
}

TEST(PrepareJob, SubtitledJobsReadTheScript)
{
    QTemporaryDir videos;
    ASSERT_TRUE(videos.isValid());
    const QString source = videos.filePath("Holiday.avi");
    Touch(source);
    Touch(videos.filePath("Holiday.srt"));
    JobWindow w({source});
    w.fake.system->folder = programFolder();
    ASSERT_TRUE(QFile::exists(programFolder() + "/VSFilter.dll"));

    SetCheckValue(w.c().chkSubtitles, 1);
    ASSERT_TRUE(w.prepare(0, ProbeText("640x480", "25")));
    EXPECT_TRUE(w.job(0).ffcmd.startsWith("ffmpeg.exe -y -i \"" + programFolder() + "/tmp.avs\" -f mp4"));
    EXPECT_FALSE(w.job(0).ffcmd.contains(source));

    SetCheckValue(w.c().chkSubtitles, 0);
    ASSERT_TRUE(w.prepare(0, ProbeText("640x480", "25")));
    EXPECT_TRUE(w.job(0).ffcmd.startsWith("ffmpeg.exe -y -i \"" + source + "\" -f mp4"));

    // Without the plug-in no source gets subtitles.
    QTemporaryDir emptyProgram;
    w.fake.system->folder = emptyProgram.path();
    SetCheckValue(w.c().chkSubtitles, 1);
    ASSERT_TRUE(w.prepare(0, ProbeText("640x480", "25")));
    EXPECT_TRUE(w.job(0).ffcmd.startsWith("ffmpeg.exe -y -i \"" + source + "\" -f mp4"));
}
