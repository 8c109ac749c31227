// Planning one job from its source, the probe's text and the options: no batch, no file system.
#include "conversion/JobPlan.h"
#include "conversion/OutputSize.h"

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

const QString Good = ProbeText("640x480", "25");

JobFiles Source(const QString& file = QStringLiteral("/v/clip.avi"),
                const QString& output = QStringLiteral("/out/clip.mp4"))
{
    JobFiles facts;
    facts.file = file;
    facts.output = output;
    facts.scriptPath = QStringLiteral("/run/me/reelpocket/tmp-0a1b2c3d-42-Ab12Cd34.avs");
    return facts;
}

// The key of the refusal, or "" for a ready job.
QString Refusal(const JobPlan& plan)
{
    return plan.refusal ? plan.refusal->key : QString();
}

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

TEST(PlanJob, CommandLineByteForByte)
{
    const JobPlan plan = PlanJob(Source(), ProbeText("352x288", "25", "00:01:23.45"), BatchOptions {});
    ASSERT_FALSE(plan.refusal);
    EXPECT_FALSE(plan.overwriteQuestion);
    const Job& job = plan.job;
    EXPECT_EQ(job.File, "/v/clip.avi");
    ASSERT_TRUE(job.mediaInfo);
    EXPECT_EQ(job.mediaInfo->Duration, 83);
    EXPECT_EQ(job.mediaInfo->Width, 352);
    EXPECT_EQ(job.mediaInfo->Height, 288);
    EXPECT_EQ(job.mediaInfo->FrameRate, 25);
    EXPECT_EQ(job.durationSeconds, 83);
    EXPECT_EQ(job.commandLine,
              "ffmpeg.exe -y -i \"/v/clip.avi\" -f mp4 -vcodec libx264 -crf 21 -subq 4 -level 30 -refs 2 -me hex "
              "-partitions +parti4x4+partp4x4+partp8x8+partb8x8 -s 352x288 -bufsize 4M -maxrate 1.5M -g 250 "
              "-coder 0 -threads auto -acodec libfaac -ac 2 -ab 128k \"/out/clip.mp4\"");

    const QString scaled = PlanJob(Source(), ProbeText("1280x720", "59.94"), BatchOptions {}).job.commandLine;
    EXPECT_TRUE(scaled.startsWith("ffmpeg.exe -y -i \"/v/clip.avi\" -r 30 -f mp4 -vcodec"));
    EXPECT_TRUE(scaled.contains(" -s 480x270 -bufsize "));
}

TEST(PlanJob, FrameRateCapOnlyAboveThirty)
{
    for (const char* fps : {"25", "29.97", "30", "23.976"})
        EXPECT_FALSE(PlanJob(Source(), ProbeText("640x480", fps), {}).job.commandLine.contains(" -r 30")) << fps;
    for (const char* fps : {"50", "59.94", "30.01"})
        EXPECT_TRUE(
            PlanJob(Source(), ProbeText("640x480", fps), {}).job.commandLine.contains("\"/v/clip.avi\" -r 30 -f mp4"))
            << fps;
}

TEST(PlanJob, TheOverwriteQuestionComesFirstAndOnlyWhenTicked)
{
    JobFiles existing = Source();
    existing.outputExists = true;
    // Asked even though the source turns out unreadable later; the refusal follows a Yes.
    const JobPlan unreadable = PlanJob(existing, "/v/clip.avi: Unknown format\n", {});
    ASSERT_TRUE(unreadable.overwriteQuestion);
    EXPECT_EQ(unreadable.overwriteQuestion->path, "/out/clip.mp4");
    EXPECT_EQ(unreadable.overwriteQuestion->key, "cmdConvert_overwrite");
    EXPECT_EQ(Refusal(unreadable), "error_badsource");

    const JobPlan ready = PlanJob(existing, Good, {});
    EXPECT_TRUE(ready.overwriteQuestion);
    EXPECT_FALSE(ready.refusal);
    EXPECT_FALSE(ready.job.commandLine.isEmpty());
    // Replacing is agreed to only for a file that was there to ask about; a free name is kept free of
    // replacing whatever takes it before the encode ends.
    EXPECT_FALSE(ready.job.keepExisting);
    EXPECT_TRUE(PlanJob(Source(), Good, {}).job.keepExisting);

    BatchOptions noQuestion;
    noQuestion.askBeforeOverwrite = false;
    EXPECT_FALSE(PlanJob(existing, Good, noQuestion).overwriteQuestion);
    // No question either when the output does not exist yet.
    EXPECT_FALSE(PlanJob(Source(), Good, {}).overwriteQuestion);
}

TEST(PlanJob, SkippingExistingOutputsComesBeforeAnyQuestionOrRefusal)
{
    BatchOptions skip;
    skip.skipExisting = true;
    JobFiles existing = Source();
    existing.outputExists = true;
    JobFiles sharedName = existing;
    sharedName.earlierOutputs = {"/out/clip.mp4"};
    JobFiles itself = existing;
    itself.outputIsSource = true;
    const struct
    {
        const char* name;
        JobFiles files;
        QString probe;
        bool skipped;
        QString refusal;
    } rows[] = {
        {"exists", existing, Good, true, ""},
        {"exists, unreadable", existing, "/v/clip.avi: Unknown format\n", true, ""},
        {"exists, name shared with an earlier source", sharedName, Good, true, ""},
        {"free name", Source(), Good, false, ""},
        {"the output is the source itself", itself, Good, false, "error_SourceDestintaionSame"},
    };
    for (const auto& row : rows) {
        const JobPlan plan = PlanJob(row.files, row.probe, skip);
        EXPECT_EQ(plan.skipped, row.skipped) << row.name;
        EXPECT_TRUE(!plan.overwriteQuestion || !row.skipped) << row.name;
        EXPECT_EQ(Refusal(plan), row.refusal) << row.name;
        EXPECT_EQ(plan.job.commandLine.isEmpty(), row.skipped || !row.refusal.isEmpty()) << row.name;
    }
    // Without the option an existing output is asked about as ever.
    EXPECT_FALSE(PlanJob(existing, Good, {}).skipped);
}

TEST(PlanJob, SourceThatWouldBeItsOwnOutput)
{
    const JobPlan same = PlanJob(Source("/out/clip.mp4"), Good, {});
    ASSERT_TRUE(same.refusal);
    EXPECT_EQ(same.refusal->key, "error_SourceDestintaionSame");
    EXPECT_EQ(same.refusal->path, "/out/clip.mp4");
    // Texts differing in case name another file here, unless the file system says they are one.
    EXPECT_FALSE(PlanJob(Source("/out/clip.MP4"), Good, {}).refusal);
    JobFiles linked = Source("/v/link.avi");
    linked.outputIsSource = true;
    EXPECT_EQ(Refusal(PlanJob(linked, Good, {})), "error_SourceDestintaionSame");
}

TEST(PlanJob, UnreadableSources)
{
    const QString refused[] = {
        "/v/clip.avi: Unknown format\n" + Good,
        "/v/clip.avi: no such file or directory\n",
        // The capitalised phrase is not looked for, but without a video line the parse finds nothing.
        "/v/clip.avi: No such file or directory\n",
        "",
        ProbeText("0x720", "25"),
        ProbeText("1280x0", "25"),
    };
    for (const QString& res : refused) {
        const JobPlan plan = PlanJob(Source(), res, {});
        ASSERT_EQ(Refusal(plan), "error_badsource") << res.toStdString();
        EXPECT_EQ(plan.refusal->path, "/v/clip.avi");
        EXPECT_TRUE(plan.job.commandLine.isEmpty());
    }
    EXPECT_FALSE(PlanJob(Source(), "Error: No such file or directory somewhere\n" + Good, {}).refusal);
}

TEST(PlanJob, QuotesCannotReachTheCommandLine)
{
    EXPECT_EQ(Refusal(PlanJob(Source("/v/say \"hi\".avi"), Good, {})), "error_badsource");
    EXPECT_EQ(Refusal(PlanJob(Source("/v/clip.avi", "/o\"ut/clip.mp4"), Good, {})), "error_badsource");
    JobFiles subtitled = Source();
    subtitled.subtitlesFound = true;
    subtitled.scriptPath = "/work\"ing/tmp.avs";
    BatchOptions burn;
    burn.burnInSubtitles = true;
    EXPECT_EQ(Refusal(PlanJob(subtitled, Good, burn)), "error_badsource");
}

TEST(PlanJob, TwoSourcesWithOneOutputName)
{
    JobFiles third = Source("/w/clip.mkv", "/out/clip.mp4");
    third.earlierOutputs = QStringList {"/out/other.mp4", "/out/clip.mp4"};
    third.outputExists = true;
    const JobPlan plan = PlanJob(third, Good, {});
    ASSERT_EQ(Refusal(plan), "error_sameoutput");
    EXPECT_EQ(plan.refusal->path, "/w/clip.mkv");
    // Refused before anyone is asked about the existing file.
    EXPECT_FALSE(plan.overwriteQuestion);
    // On a FAT stick or a Windows share "Clip.mp4" and "clip.mp4" are one file.
    third.earlierOutputs = QStringList {"/out/Clip.mp4"};
    EXPECT_EQ(Refusal(PlanJob(third, Good, {})), "error_sameoutput");
}

TEST(PlanJob, SubtitledJobsReadTheScript)
{
    JobFiles source = Source();
    source.subtitlesFound = true;
    BatchOptions burn;
    burn.burnInSubtitles = true;
    const Job subtitled = PlanJob(source, Good, burn).job;
    EXPECT_TRUE(subtitled.commandLine.startsWith("ffmpeg.exe -y -i \"" + source.scriptPath + "\" -f mp4"));
    EXPECT_FALSE(subtitled.commandLine.contains("/v/clip.avi"));
    EXPECT_EQ(subtitled.script, source.scriptPath);
    // Not wanted, or nothing to burn in: the source itself, and no script.
    EXPECT_TRUE(PlanJob(source, Good, {}).job.commandLine.startsWith("ffmpeg.exe -y -i \"/v/clip.avi\" -f mp4"));
    EXPECT_TRUE(PlanJob(source, Good, {}).job.script.isEmpty());
    source.subtitlesFound = false;
    EXPECT_TRUE(PlanJob(source, Good, burn).job.commandLine.startsWith("ffmpeg.exe -y -i \"/v/clip.avi\" -f mp4"));
}
