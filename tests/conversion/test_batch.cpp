// The batch's state machine on its own: fake runner and message boxes, a recording view, no widgets.
#include "conversion/Batch.h"
#include "conversion/EncoderCommand.h"
#include "conversion/OutcomeText.h"
#include "conversion/SubtitleScriptWriter.h"
#include "localisation/Language.h"
#include "support/BatchTimer.h"
#include "support/FakePlatform.h"
#include "support/TestPaths.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QCoreApplication& App()
{
    static int argc = 1;
    static char name[] = "test_batch";
    static char* argv[] = {name, nullptr};
    static auto* app = new QCoreApplication(argc, argv);
    return *app;
}

// Records what the batch asks the window to show, one line per call.
class RecordingView : public BatchView
{
public:
    void ShowConverting() override { calls << "converting"; }
    void ShowJobCounter(int job, int count) override { calls << QStringLiteral("counter %1/%2").arg(job).arg(count); }
    void ShowProgressMaximum(double seconds) override { calls << QStringLiteral("maximum %1").arg(seconds); }
    void ShowProgress(const ProgressDisplay& p) override
    {
        calls << QStringLiteral("progress %1 %2 %3")
                     .arg(p.barValue ? QString::number(*p.barValue) : "-", p.remaining.value_or("-"),
                          p.percent.value_or("-"));
    }
    void ShowElapsed(const QString& text) override { calls << "elapsed " + text; }
    void ShowFinished(const BatchSummary& s) override
    {
        calls << QStringLiteral("finished %1 converted, %2 failed%3")
                     .arg(s.Converted())
                     .arg(s.FailedSources().size())
                     .arg(s.howToPageDue ? ", page due" : "");
    }
    void ShowCancelled() override { calls << "cancelled"; }
    void AskToCancel() override { calls << "ask"; }
    void CancelAnswered(bool confirmed, bool closeWindow) override
    {
        calls << QStringLiteral("answered %1 %2").arg(confirmed ? "yes" : "no", closeWindow ? "close" : "stay");
    }
    // Every job as the view was last told of it, by index, and each telling in order.
    void ShowJob(int index, const Job& job) override
    {
        if (jobs.size() <= static_cast<size_t>(index))
            jobs.resize(index + 1);
        jobs[index] = job;
        told << QStringLiteral("%1 %2").arg(index).arg(static_cast<int>(job.outcome.state));
    }
    QStringList calls;
    std::vector<Job> jobs;
    QStringList told;
};

QString ProbeText(int seconds = 10, int fps = 25)
{
    return QStringLiteral("  Duration: 00:00:%1.00, start: 0.000000, bitrate: 100 kb/s\n"
                          "    Stream #0.0: Video: mpeg4, yuv420p, 320x240 [PAR 1:1 DAR 4:3], %2 tb(r)\n")
        .arg(seconds, 2, 10, QLatin1Char('0'))
        .arg(fps);
}

struct BatchTest : ::testing::Test
{
    FakePlatform fake;
    Localisation lang;
    RecordingView view;
    std::unique_ptr<Batch> batch;
    QTemporaryDir sources;
    QTemporaryDir destination;

    void SetUp() override
    {
        App();
        lang.CurrentLanguage = QStringLiteral("English");
        ASSERT_TRUE(LoadLanguageFile(lang, QDir(programFolder()).filePath(QStringLiteral("Languages"))));
        fake.system->folder = programFolder();
        batch = std::make_unique<Batch>(fake.platform, lang, view);
    }
    QString T(const char* key) const { return Translate(lang, QLatin1String(key)); }
    QString source(int i) const { return sources.filePath(QStringLiteral("clip%1.avi").arg(i)); }
    QString output(int i) const { return destination.filePath(QStringLiteral("clip%1.mp4").arg(i)); }
    QStringList list(int count) const
    {
        QStringList paths;
        for (int i = 0; i < count; ++i)
            paths << source(i);
        return paths;
    }
    void start(int count, BatchOptions options = {})
    {
        batch->StartConversion(list(count), destination.path() + QLatin1Char('/'), options);
    }
    FakeRunner* runner() const { return CurrentRunner(); }
    // A second of the job's elapsed time, as the batch's own timer gives it.
    void tick() const { TickBatchTimer(*batch); }
    JobState state(int i) const { return batch->Jobs().at(i).outcome.state; }
    const QStringList& commands() const { return fake.runners->commands; }
    void encodeDone(bool ok)
    {
        if (ok) {
            QFile out(batch->OutputFileName());
            ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        }
        runner()->finish(QStringLiteral("done\n"), ok);
    }
};

} // namespace

TEST_F(BatchTest, ProbesEverySourceThenEncodesThemInOrder)
{
    start(3);
    EXPECT_EQ(batch->ConversionPhase(), Phase::Info);
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(commands().size(), i + 1);
        EXPECT_EQ(commands().last(), QStringLiteral("ffmpeg.exe -i \"%1\"").arg(source(i)));
        runner()->finish(ProbeText(10 + i));
    }
    EXPECT_EQ(batch->ConversionPhase(), Phase::Conversion);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(commands().last().startsWith(QStringLiteral("ffmpeg.exe -y -i \"%1\"").arg(source(i))));
        EXPECT_TRUE(commands().last().endsWith(QStringLiteral("\"%1\"").arg(output(i))));
        EXPECT_EQ(batch->Progress().Maximum, 10 + i);
        encodeDone(i != 1);
    }
    EXPECT_EQ(batch->ConversionPhase(), Phase::Idle);
    EXPECT_EQ(batch->Summary().Converted(), 2);
    EXPECT_EQ(batch->Summary().FailedSources(), QStringList {source(1)});
    EXPECT_FALSE(batch->Timer().isActive());
    EXPECT_EQ(
        view.calls,
        QStringList({"converting", "converting", "counter 1/3", "maximum 10", "converting", "counter 2/3", "maximum 11",
                     "converting", "counter 3/3", "maximum 12", "finished 2 converted, 1 failed, page due"}));
    EXPECT_EQ(batch->Summary().ending, BatchSummary::Ending::Finished);
    // The failure is named; the how-to page is due because something was converted, and the front end opens it.
    EXPECT_EQ(fake.messages->shown, QStringList {source(1) + ":\n" + T("error_encodefailed")});
    EXPECT_TRUE(fake.shell->urls.isEmpty());
}

TEST_F(BatchTest, NothingStartsWithoutSourcesOrADestination)
{
    start(0);
    batch->StartConversion(list(1), destination.path(), {});
    batch->StartConversion(list(1001), destination.path() + '/', {});
    EXPECT_EQ(fake.messages->shown,
              QStringList({T("error_badsource"), T("error_badDestination"), T("error_toomanysources")}));
    EXPECT_TRUE(commands().isEmpty());
    EXPECT_TRUE(view.calls.isEmpty());
    EXPECT_FALSE(batch->IsRunning());
    EXPECT_EQ(batch->Summary().ending, BatchSummary::Ending::Refused);

    // A language file that lacks the message's text refuses all the same.
    lang.LanguageEntries = QStringList {};
    start(0);
    EXPECT_EQ(fake.messages->shown.size(), 4);
    EXPECT_FALSE(batch->IsRunning());
    EXPECT_EQ(batch->Summary().ending, BatchSummary::Ending::Refused);
}

TEST_F(BatchTest, ADestinationThatCannotBeWrittenToIsRefusedBeforeAnyProbe)
{
    // Root writes through permission bits, so for root the destination becomes a read-only file system.
    const QByteArray path = QFile::encodeName(destination.path());
    if (::geteuid() == 0)
        ASSERT_EQ(::mount("tmpfs", path.constData(), "tmpfs", MS_RDONLY, nullptr), 0) << "cannot mount read-only";
    else
        ASSERT_TRUE(QFile::setPermissions(destination.path(), QFile::ReadOwner | QFile::ExeOwner));
    start(1);
    if (::geteuid() == 0)
        ::umount(path.constData());
    else
        QFile::setPermissions(destination.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(fake.messages->shown, QStringList {destination.path() + "/:\n" + T("error_badDestination")});
    EXPECT_TRUE(commands().isEmpty());
    EXPECT_TRUE(view.calls.isEmpty());
    EXPECT_EQ(batch->Summary().ending, BatchSummary::Ending::Refused);

    // Writable again, the batch starts, and the check leaves nothing behind.
    start(1);
    EXPECT_EQ(commands().size(), 1);
    EXPECT_TRUE(QDir(destination.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
}

TEST_F(BatchTest, ADeclinedOverwriteStopsTheBatchBeforeAnyEncode)
{
    QFile existing(output(1));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();
    fake.messages->answers = {false};
    start(3);
    runner()->finish(ProbeText());
    runner()->finish(ProbeText());
    EXPECT_EQ(fake.messages->asked, QStringList {output(1) + ":\n" + T("cmdConvert_overwrite")});
    EXPECT_EQ(commands().size(), 2);
    EXPECT_EQ(view.calls.last(), "cancelled");
    EXPECT_FALSE(batch->IsRunning());
    EXPECT_EQ(batch->Summary().ending, BatchSummary::Ending::Refused);
    // With the option clear nobody is asked.
    fake.messages->asked.clear();
    BatchOptions noQuestion;
    noQuestion.askBeforeOverwrite = false;
    start(3, noQuestion);
    for (int i = 0; i < 3; ++i)
        runner()->finish(ProbeText());
    EXPECT_TRUE(fake.messages->asked.isEmpty());
    EXPECT_EQ(batch->ConversionPhase(), Phase::Conversion);
}

TEST_F(BatchTest, CancelQuestionCloseRuleAndLateCompletions)
{
    start(2);
    batch->RequestCancel();
    batch->DeclineCancel();
    EXPECT_EQ(view.calls.mid(1), QStringList({"ask", "answered no stay"}));
    runner()->finish(ProbeText());
    EXPECT_EQ(commands().size(), 2);

    // Closing the window while converting asks instead, and Yes then closes it.
    view.calls.clear();
    EXPECT_FALSE(batch->MayClose());
    EXPECT_TRUE(batch->CloseAfterCancel());
    FakeRunner* probe = runner();
    batch->ConfirmCancel();
    EXPECT_TRUE(probe->stopped);
    EXPECT_EQ(CurrentRunner(), nullptr);
    EXPECT_EQ(view.calls, QStringList({"ask", "cancelled", "answered yes close"}));
    EXPECT_FALSE(batch->IsRunning());
    EXPECT_EQ(batch->Summary().ending, BatchSummary::Ending::Cancelled);
    EXPECT_TRUE(batch->MayClose());

    // A completion that still arrives after the stop changes nothing.
    probe->finish(ProbeText());
    EXPECT_EQ(commands().size(), 2);
}

TEST_F(BatchTest, ReportsAndTicksBecomeProgress)
{
    start(1);
    runner()->finish(ProbeText(40));
    view.calls.clear();
    tick();
    tick();
    runner()->output(QStringLiteral("size= 10kB ti"));
    runner()->output(QStringLiteral("me=10.00 bitrate= 8.0kbits/s\r"));
    runner()->output(QStringLiteral("size= 20kB time=41.00 bitrate= 8.0kbits/s\r"));
    EXPECT_EQ(
        view.calls,
        QStringList({"elapsed 00:00:01", "elapsed 00:00:02", "progress 10 00:00:06 25%", "progress - 00:00:00 100%"}));
    EXPECT_EQ(batch->Progress().PositionText, "41");
    // The finished look gets the last job's elapsed time.
    encodeDone(true);
    EXPECT_EQ(view.calls.last(), "finished 1 converted, 0 failed, page due");
}

TEST_F(BatchTest, ACommandThatCannotStartIsReportedAndNotWaitedFor)
{
    const CommandRunner::RunError notFound {"File not found", "ShellRpk", 53};
    const QString cannotStart = T("reason_encoderstart");
    // No completion follows a command that never ran: a probe that cannot start ends the batch there, and
    // the user reads why rather than the runner's error number.
    fake.runners->nextRunError = notFound;
    start(2);
    EXPECT_EQ(fake.messages->shown, QStringList {source(0) + ":\n" + cannotStart});
    EXPECT_EQ(batch->Jobs().at(0).outcome.failure->detail, "File not found");
    EXPECT_FALSE(batch->IsRunning());
    EXPECT_FALSE(batch->Timer().isActive());
    EXPECT_EQ(view.calls, QStringList({"converting", "cancelled"}));
    EXPECT_EQ(batch->Summary().ending, BatchSummary::Ending::Refused);
    EXPECT_EQ(state(0), JobState::Refused);
    EXPECT_EQ(state(1), JobState::NotReached);

    // An encode that cannot start, at once or later, has failed, and the next one is tried.
    fake.messages->shown.clear();
    fake.runners->commands.clear();
    start(3);
    for (int i = 0; i < 3; ++i) {
        if (i == 2)
            fake.runners->nextRunError = notFound;
        runner()->finish(ProbeText());
    }
    EXPECT_EQ(commands().size(), 5); // the first encode was only tried, the second started
    runner()->failToStart(notFound);
    EXPECT_EQ(commands().size(), 6);
    encodeDone(true);
    EXPECT_EQ(fake.messages->shown,
              QStringList {source(0) + ":\n" + cannotStart + "\n\n" + source(1) + ":\n" + cannotStart});
    EXPECT_EQ(view.calls.last(), "finished 1 converted, 2 failed, page due");
}

TEST_F(BatchTest, AFailedReencodeOverAnExistingOutputCountsAsFailed)
{
    // The old output stays where it was: its presence must not pass for a new one.
    QFile existing(output(0));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("last week's video");
    existing.close();
    fake.messages->answers = {true};
    start(1);
    runner()->finish(ProbeText());
    ASSERT_EQ(fake.messages->asked.size(), 1);
    runner()->finish(QStringLiteral("encoding failed\n"), false);
    EXPECT_EQ(batch->Summary().Converted(), 0);
    EXPECT_EQ(batch->Summary().FailedSources(), QStringList {source(0)});
    // Nothing to put on the phone.
    EXPECT_EQ(view.calls.last(), "finished 0 converted, 1 failed");
}

TEST_F(BatchTest, ASourceThatIsNoRegularFileIsRefusedBeforeItsProbe)
{
    // The probe of a named pipe would never end.
    ASSERT_EQ(::mkfifo(QFile::encodeName(source(1)).constData(), 0600), 0);
    start(2);
    runner()->finish(ProbeText());
    EXPECT_EQ(commands().size(), 1);
    EXPECT_EQ(fake.messages->shown, QStringList {source(1) + ":\n" + T("error_badsource")});
    EXPECT_EQ(view.calls.last(), "cancelled");
    // A folder is refused the same way.
    ASSERT_TRUE(QDir(sources.path()).mkdir("folder.avi"));
    batch->StartConversion({sources.filePath("folder.avi")}, destination.path() + '/', {});
    EXPECT_EQ(commands().size(), 1);
    EXPECT_FALSE(batch->IsRunning());
}

TEST_F(BatchTest, WhenTheOutputsMayNotFitTheUserDecidesOnce)
{
    // Three 10-second sources may take up to about 2.5 MB each; 3 MB are free.
    fake.system->free = 3 * 1024 * 1024;
    fake.messages->answers = {false};
    start(3);
    for (int i = 0; i < 3; ++i)
        runner()->finish(ProbeText(10));
    ASSERT_EQ(fake.messages->asked.size(), 1);
    EXPECT_TRUE(fake.messages->asked.first().contains(" 3 MB")) << fake.messages->asked.first().toStdString();
    EXPECT_EQ(fake.messages->asked.first(),
              T("cmdConvert_nospace")
                  .replace("%1", QString::number((3 * MaxOutputBytes(10) + 1048575) / 1048576))
                  .replace("%2", "3"));
    EXPECT_EQ(commands().size(), 3); // probes only
    EXPECT_EQ(view.calls.last(), "cancelled");
    EXPECT_FALSE(batch->IsRunning());

    fake.messages->answers = {true};
    start(3);
    for (int i = 0; i < 3; ++i)
        runner()->finish(ProbeText(10));
    EXPECT_EQ(batch->ConversionPhase(), Phase::Conversion);
    EXPECT_TRUE(commands().last().startsWith("ffmpeg.exe -y -i"));

    // Plenty of room, or an unknown amount: nobody is asked.
    fake.messages->asked.clear();
    fake.system->free.reset();
    start(1);
    runner()->finish(ProbeText(10));
    EXPECT_TRUE(fake.messages->asked.isEmpty());

    // Room for a classic output is not room for a Full HD one.
    fake.system->free = 16 * 1024 * 1024;
    start(1);
    runner()->finish(ProbeText(10));
    EXPECT_TRUE(fake.messages->asked.isEmpty());
    BatchOptions fullHd;
    fullHd.format = OutputFormat::FullHd;
    fake.messages->answers = {false};
    start(1, fullHd);
    runner()->finish(ProbeText(10));
    EXPECT_EQ(fake.messages->asked.size(), 1);
    EXPECT_EQ(MaxOutputBytes(0), 256 * 1024);
    EXPECT_GT(MaxOutputBytes(3600), qint64(3600) * 1'628'000 / 8);
}

TEST_F(BatchTest, AnUnwatchedBatchEndsWithANotification)
{
    start(3);
    for (int i = 0; i < 3; ++i)
        runner()->finish(ProbeText());
    encodeDone(true);
    encodeDone(false);
    encodeDone(true);
    const QString folder = destination.path() + '/';
    EXPECT_EQ(fake.notifier->notes,
              QStringList {"Conversion finished: 2 converted, 1 failed. [Open folder: " + folder + "]"});

    // A refused source ends the batch before any encode.
    fake.notifier->notes.clear();
    batch->StartConversion({source(0) + "\"x"}, folder, {});
    EXPECT_EQ(fake.notifier->notes.size(), 1);
    EXPECT_TRUE(fake.notifier->notes.first().startsWith("Conversion stopped: 0 converted, 1 failed."));
}

TEST_F(BatchTest, EachSubtitledJobReadsAScriptOfItsOwnThatGoesWithItsEncode)
{
    QTemporaryDir working;
    ASSERT_TRUE(working.isValid());
    fake.system->working = working.path();
    // A script a killed batch of this machine left two minutes ago: the first script written takes it away.
    QProcess ended;
    ended.start("/bin/true");
    ASSERT_TRUE(ended.waitForStarted());
    const QString dead = QString::number(ended.processId());
    ASSERT_TRUE(ended.waitForFinished());
    const QString host = QFileInfo(NewSubtitleScriptPath(working.path())).fileName().section('-', 1, 1);
    QFile stale(working.filePath("tmp-" + host + "-" + dead + "-Ab12Cd34.avs"));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    ASSERT_TRUE(stale.setFileTime(QDateTime::currentDateTime().addSecs(-120), QFileDevice::FileModificationTime));
    for (int i = 0; i < 3; ++i) {
        QFile subtitles(sources.filePath(QStringLiteral("clip%1.srt").arg(i)));
        ASSERT_TRUE(subtitles.open(QIODevice::WriteOnly));
    }
    BatchOptions subtitled;
    subtitled.burnInSubtitles = true;
    start(3, subtitled);
    for (int i = 0; i < 3; ++i)
        runner()->finish(ProbeText());
    const auto script = [this] {
        return commands().last().section('"', 1, 1);
    };
    QStringList scripts;
    for (int i = 0; i < 3; ++i) {
        scripts << script();
        EXPECT_EQ(QFileInfo(scripts.last()).path(), working.path());
        // The running encode's script, and no other.
        EXPECT_EQ(QDir(working.path()).entryList(QDir::Files), QStringList {QFileInfo(scripts.last()).fileName()});
        if (i < 2)
            encodeDone(true);
        EXPECT_EQ(QFile::exists(scripts.last()), i == 2);
    }
    EXPECT_EQ(scripts.removeDuplicates(), 0);
    // A cancel takes the running encode's script with it.
    batch->RequestCancel();
    batch->ConfirmCancel();
    EXPECT_TRUE(QDir(working.path()).isEmpty());
}

TEST_F(BatchTest, AnEncodeMayReplaceOnlyAnOutputTheUserAgreedToReplace)
{
    // clip1.mp4 is there and the user says Yes; clip0.mp4 is free.
    QFile existing(output(1));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();
    fake.messages->answers = {true};
    start(2);
    runner()->finish(ProbeText());
    runner()->finish(ProbeText());
    EXPECT_EQ(runner()->environment.value(NoReplaceVariable), "1");
    // Another file took clip0.mp4 meanwhile: the encoder kept it, discarded its own and said so.
    QFile taken(output(0));
    ASSERT_TRUE(taken.open(QIODevice::WriteOnly));
    taken.close();
    runner()->finish(QString::fromLatin1(EncodeFailedMarker) + "name-taken " + output(0) + "\n", false);
    EXPECT_EQ(runner()->environment.value(NoReplaceVariable), "0");
    encodeDone(true);
    EXPECT_EQ(batch->Summary().Converted(), 1);
    EXPECT_EQ(batch->Summary().FailedSources(), QStringList {source(0)});
    EXPECT_EQ(fake.messages->shown.last(), output(0) + ":\n" + T("error_outputtaken"));
    // Probes are given nothing of the kind.
    EXPECT_TRUE(fake.runners->environments.first().isEmpty());
}

TEST_F(BatchTest, AnotherSpellingOfTheSourceIsNoOutput)
{
    // The output name, spelled through "./" or through a link, is the source itself.
    QFile clip(destination.filePath("clip.mp4"));
    ASSERT_TRUE(clip.open(QIODevice::WriteOnly));
    clip.close();
    ASSERT_TRUE(QFile::link(destination.filePath("clip.mp4"), sources.filePath("clip.mp4")));
    const QString folder = destination.path() + '/';
    for (const QString& spelling : {destination.path() + "/./clip.mp4", sources.filePath("clip.mp4")}) {
        fake.messages->shown.clear();
        BatchOptions noQuestion;
        noQuestion.askBeforeOverwrite = false;
        batch->StartConversion({spelling}, folder, noQuestion);
        runner()->finish(ProbeText());
        EXPECT_EQ(fake.messages->shown, QStringList {spelling + ":\n" + T("error_SourceDestintaionSame")});
        EXPECT_FALSE(batch->IsRunning());
    }
}

TEST_F(BatchTest, RunsOnMessagesSystemFactsAndRunnersAlone)
{
    // A front end without a window has no dialogs, shell, settings, notifications or network.
    fake.platform.dialogs.reset();
    fake.platform.shell.reset();
    fake.platform.settings.reset();
    fake.platform.notifier.reset();
    fake.platform.createTcpClient = nullptr;
    BatchOptions options;
    options.showHowToPage = true;
    start(2, options);
    runner()->finish(ProbeText());
    runner()->output(QStringLiteral("size= 1kB time=5.00 bitrate= 8.0kbits/s\r"));
    runner()->finish(ProbeText());
    encodeDone(true);
    encodeDone(true);
    EXPECT_EQ(batch->Summary().ending, BatchSummary::Ending::Finished);
    EXPECT_EQ(batch->Summary().Converted(), 2);
    EXPECT_TRUE(batch->Summary().howToPageDue);
    // Probe output is no progress report.
    EXPECT_FALSE(view.calls.join('|').contains("progress"));
}

TEST_F(BatchTest, TheTailOfOneJobLeadsTheNextJobsFirstReport)
{
    start(2);
    runner()->finish(ProbeText(40));
    runner()->finish(ProbeText(200));
    runner()->output(QStringLiteral("Video:...\nsize= 10kB ti"));
    encodeDone(true);
    // Nothing clears what was pending when the next job starts.
    runner()->output(QStringLiteral("me=50.00 bitrate= 1.0kbits/s\r"));
    EXPECT_EQ(batch->Progress().PositionText, "50");
    EXPECT_EQ(view.calls.last(), "progress 50 00:00:00 25%");
}

TEST_F(BatchTest, EveryJobCarriesItsOutcomeAndTheViewHearsOfItByIndex)
{
    // Converted, failed for the encoder's reason, and converted without its unreadable subtitles.
    start(3);
    for (int i = 0; i < 3; ++i)
        runner()->finish(ProbeText());
    EXPECT_EQ(state(0), JobState::Converting);
    EXPECT_EQ(state(2), JobState::Probed);
    encodeDone(true);
    runner()->finish("size= 1kB time=2.00 bitrate= 8.0kbits/s\r[mp4] Error writing trailer\nffmpeg.exe: failed: "
                     "destination-full [mp4] Error writing trailer of /d/clip1.mp4: No space left on device\n",
                     false);
    QFile(output(2)).open(QIODevice::WriteOnly);
    runner()->finish(QString(SubtitlesLeftOutMarker) + sources.filePath("clip2.srt") + "\n");
    EXPECT_EQ(state(0), JobState::Converted);
    ASSERT_EQ(state(1), JobState::Failed);
    EXPECT_EQ(batch->Jobs().at(1).outcome.failure->kind, EncodeFailure::Kind::DestinationFull);
    EXPECT_EQ(batch->Jobs().at(1).outcome.failure->detail,
              "[mp4] Error writing trailer of /d/clip1.mp4: No space left on device");
    EXPECT_EQ(state(2), JobState::ConvertedWithoutSubtitles);
    ASSERT_EQ(view.jobs.size(), 3u);
    EXPECT_EQ(view.jobs[1].outcome.state, JobState::Failed);
    EXPECT_EQ(view.jobs[2].outcome.subtitlesLeftOut, QStringList {sources.filePath("clip2.srt")});
    EXPECT_EQ(view.told.mid(view.told.indexOf("0 3")), QStringList({"0 3", "0 4", "1 3", "1 6", "2 3", "2 5"}));
    // The counts come from the jobs; the failure is named with its reason.
    EXPECT_EQ(view.calls.last(), "finished 2 converted, 1 failed, page due");
    EXPECT_EQ(fake.messages->shown.last(),
              source(1) + ":\n" + T("reason_destinationfull") + "\n\n" + sources.filePath("clip2.srt") + ":\n"
                  + T("error_subtitlesleftout"));

    // A refused source: the jobs around it were not reached, and the view hears of them in list order.
    BatchOptions replace;
    replace.askBeforeOverwrite = false;
    view.told.clear();
    start(3, replace);
    runner()->finish(ProbeText());
    runner()->finish("Unknown format\n");
    EXPECT_EQ(state(0), JobState::NotReached);
    EXPECT_EQ(state(1), JobState::Refused);
    EXPECT_EQ(batch->Jobs().at(1).outcome.reasonKey, "error_badsource");
    EXPECT_EQ(batch->Jobs().at(2).outcome.reasonKey, "reason_notreached");
    EXPECT_EQ(view.told, QStringList({"0 0", "1 0", "2 0", "0 1", "0 7", "1 2", "2 7"}));

    // Cancelled during the second encode: the first is converted, and the message says so.
    fake.messages->shown.clear();
    start(3, replace);
    for (int i = 0; i < 3; ++i)
        runner()->finish(ProbeText());
    encodeDone(true);
    batch->ConfirmCancel();
    EXPECT_EQ(state(0), JobState::Converted);
    EXPECT_EQ(state(1), JobState::NotReached);
    EXPECT_EQ(batch->Jobs().at(1).outcome.reasonKey, "reason_cancelled");
    EXPECT_EQ(state(2), JobState::NotReached);
    EXPECT_EQ(batch->Summary().ending, BatchSummary::Ending::Cancelled);
    EXPECT_EQ(fake.messages->shown, QStringList {T("cmdCancel_convertedbefore") + "\n" + source(0)});

    // A source cut short says how much of it could be read, in the user's numbers.
    const EncodeFailure cut = ReadEncodeFailure("ffmpeg.exe: failed: source-short 3.96 8.00\nsize= 1kB\r");
    EXPECT_EQ(FailureText(lang, cut, QLatin1Char(',')), FillIn(T("reason_sourceshort"), {"4", "8"}));
    // No failure line: the encoder's last words are kept.
    EXPECT_EQ(ReadEncodeFailure("Killed\nsize= 1kB time=2.00 bitrate= 8.0kbits/s\r").detail, "Killed");
}

TEST_F(BatchTest, OneSleepLockPerBatchGivenBackWhilePausedAndANextCommandWaitsForResume)
{
    auto* power = new FakePower;
    fake.platform.power.reset(power);
    start(2);
    EXPECT_EQ(power->live, 1);
    EXPECT_EQ(power->reasons, QStringList {"Reelpocket: Converting 2 video(s) into " + destination.path() + "/"});
    runner()->finish(ProbeText());
    runner()->finish(ProbeText());
    ASSERT_EQ(batch->ConversionPhase(), Phase::Conversion);
    tick();

    batch->Pause();
    EXPECT_TRUE(runner()->paused);
    EXPECT_EQ(power->live, 0);
    EXPECT_FALSE(batch->Timer().isActive());
    // The encode ends just as it is held: the second one waits for Resume, and the elapsed time stands.
    encodeDone(true);
    EXPECT_EQ(commands().size(), 3);
    EXPECT_EQ(state(0), JobState::Converting);
    EXPECT_EQ(batch->Progress().ElapsedSeconds, 1);

    batch->Resume();
    EXPECT_EQ(power->live, 1);
    EXPECT_EQ(state(0), JobState::Converted);
    ASSERT_EQ(commands().size(), 4);
    EXPECT_FALSE(runner()->paused);
    EXPECT_TRUE(batch->Timer().isActive());
    // Held and cancelled: nothing keeps the machine awake, and Resume has nothing left to let go on.
    batch->Pause();
    batch->ConfirmCancel();
    EXPECT_EQ(power->live, 0);
    batch->Resume();
    EXPECT_EQ(power->live, 0);
    EXPECT_EQ(commands().size(), 4);
    EXPECT_EQ(power->reasons.size(), 2);
}
