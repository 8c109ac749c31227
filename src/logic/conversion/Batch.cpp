#include "Batch.h"

#include "EncoderCommand.h"
#include "JobPlan.h"
#include "OutcomeText.h"
#include "Paths.h"
#include "SubtitleScriptWriter.h"
#include "WhenDone.h"
#include "text/TextReading.h"

#include <QFile>
#include <QFileInfo>
#include <QTimer>

void DeleteLaterRunner::operator()(CommandRunner* runner) const
{
    runner->disconnect();
    runner->deleteLater();
}

Batch::Batch(Platform& platform, const Localisation& lang, BatchView& view, QObject* parent)
    : QObject(parent)
    , platform_(platform)
    , lang_(lang)
    , view_(view)
    , timer_(new QTimer(this))
{
    timer_->setObjectName(QStringLiteral("Timer"));
    timer_->setInterval(1000);
    connect(timer_, &QTimer::timeout, this, &Batch::TimerTick);
}

Batch::~Batch()
{
    // No encoder outlives the batch, and no script either.
    StopRunner();
    RemoveScript();
}

QString Batch::T(const QString& key) const
{
    return Translate(lang_, key);
}

QString Batch::MessageText(const FileMessage& message) const
{
    return message.path + QStringLiteral(":\n") + T(message.key);
}

void Batch::StartConversion(const QStringList& sources, const QString& destination, const BatchOptions& options)
{
    ending_ = BatchSummary::Ending::None;
    // A language file without the message's text must still refuse: an empty list would start a batch of nothing.
    std::optional<QString> refusal;
    if (sources.size() > MaxSources)
        refusal = T(QStringLiteral("error_toomanysources"));
    else if (sources.isEmpty())
        refusal = T(QStringLiteral("error_badsource"));
    else if (const QString result = CheckDestination(destination); result != QLatin1String("ok"))
        refusal = T(result);
    // Found out once, before the room question and the first probe, rather than file by file.
    else if (!CanCreateFileIn(destination))
        refusal = MessageText({destination, QStringLiteral("error_badDestination")});
    if (refusal) {
        platform_.messages->showOk(*refusal);
        // No job of an earlier batch belongs to this one.
        jobs_.clear();
        ending_ = BatchSummary::Ending::Refused;
        return;
    }
    jobs_.assign(sources.size(), Job {});
    for (int i = 0; i < sources.size(); ++i)
        jobs_[i].File = sources.at(i);
    destination_ = destination;
    options_ = options;
    paused_ = false;
    completedWhilePaused_.reset();
    KeepAwake();
    ShowConverting();
    phase_ = Phase::Info;
    currentIndex_ = 0;
    for (int i = 0; i < SourceCount(); ++i)
        view_.ShowJob(i, jobs_[i]);
    ProbeCurrentSource();
}

QString Batch::CheckDestination(const QString& d)
{
    // The folder must exist; it is never created here. A double quote could not be written inside
    // the quoted output path of the encoder's command line.
    if (!d.endsWith(Separator()) || !QFileInfo(d).isDir() || d.contains(QLatin1Char('"')))
        return QStringLiteral("error_badDestination");
    return QStringLiteral("ok");
}

void Batch::ProbeCurrentSource()
{
    const QString& source = jobs_[currentIndex_].File;
    const JobOutcome unusable {JobState::Refused, QStringLiteral("error_badsource"), {}, {}};
    // A double quote would close the quoted path early and the rest of the name would be read as
    // options: the probe itself could then write over another file.
    if (source.isEmpty() || source.contains(QLatin1Char('"'))) {
        StopBeforeEncoding(unusable, true);
        return;
    }
    // A named pipe or a device is no video file, and the probe of a pipe would wait for ever.
    const QFileInfo info(source);
    if (info.exists() && !info.isFile()) {
        StopBeforeEncoding(unusable, true);
        return;
    }
    if (const auto error = RunCommand(ProbeCommand(source)))
        OnStartFailed(*error);
}

JobFiles Batch::ExamineSource(int row) const
{
    JobFiles facts;
    facts.file = jobs_[row].File;
    facts.output = OutputFileNameOf(row);
    for (int earlier = 0; earlier < row; ++earlier)
        facts.earlierOutputs << OutputFileNameOf(earlier);
    facts.outputExists = FileExists(facts.output);
    facts.outputIsSource = SameFile(facts.output, facts.file);
    facts.subtitlesFound = SubtitlesAvailable(platform_.system->programFolder(), facts.file);
    if (facts.subtitlesFound)
        facts.scriptPath = NewSubtitleScriptPath(platform_.system->workingFolder());
    return facts;
}

bool Batch::PrepareJob(const QString& res)
{
    const JobPlan plan = PlanJob(ExamineSource(currentIndex_), res, options_);
    if (plan.skipped) {
        jobs_[currentIndex_] = plan.job;
        SetOutcome(currentIndex_, {JobState::Skipped, {}, {}, {}});
        return true;
    }
    if (plan.overwriteQuestion && !platform_.messages->askYesNo(MessageText(*plan.overwriteQuestion))) {
        // The user has just answered about this file: the mark is enough, no message follows.
        return StopBeforeEncoding(JobOutcome {JobState::Refused, QStringLiteral("reason_notreplaced"), {}, {}}, false);
    }
    if (plan.refusal)
        return StopBeforeEncoding(JobOutcome {JobState::Refused, plan.refusal->key, {}, {}}, true);
    jobs_[currentIndex_] = plan.job;
    SetOutcome(currentIndex_, {JobState::Probed, {}, {}, {}});
    return true;
}

bool Batch::StopBeforeEncoding(const std::optional<JobOutcome>& stoppedAt, bool tellWhy)
{
    // The views hear of every job in list order, the refused one among them.
    if (stoppedAt)
        jobs_[currentIndex_].outcome = *stoppedAt;
    LeaveUnreached(QStringLiteral("reason_notreached"), stoppedAt ? currentIndex_ : -1);
    if (stoppedAt && tellWhy)
        platform_.messages->showOk(MessageText({jobs_[currentIndex_].File, stoppedAt->reasonKey}));
    EndAs(BatchSummary::Ending::Refused);
    ReturnToIdle();
    view_.ShowCancelled();
    // Nothing was encoded: the refusal comes before the first encode.
    if (stoppedAt)
        Notify(QStringLiteral("notify_refused"), 0, 1);
    return false;
}

void Batch::SetOutcome(int row, JobOutcome outcome)
{
    jobs_[row].outcome = std::move(outcome);
    view_.ShowJob(row, jobs_[row]);
}

void Batch::LeaveUnreached(const QString& key, int changedRow)
{
    for (int row = 0; row < SourceCount(); ++row) {
        if (!jobs_[row].outcome.IsFinal())
            SetOutcome(row, {JobState::NotReached, key, {}, {}});
        else if (row == changedRow)
            view_.ShowJob(row, jobs_[row]);
    }
}

void Batch::EndAs(BatchSummary::Ending ending)
{
    ending_ = ending;
    endElapsedText_ = progress_.ElapsedText;
}

BatchSummary Batch::Summary() const
{
    BatchSummary summary;
    summary.ending = ending_;
    summary.elapsedText = endElapsedText_;
    summary.jobs = jobs_;
    summary.howToPageDue
        = ending_ == BatchSummary::Ending::Finished && options_.showHowToPage && summary.Converted() > 0;
    return summary;
}

void Batch::OnRunnerCompleted(const QString& res)
{
    // The next command would run while the user holds the batch.
    if (paused_ && phase_ != Phase::Idle) {
        completedWhilePaused_ = res;
        return;
    }
    if (phase_ == Phase::Info) {
        if (!PrepareJob(res))
            return;
        ++currentIndex_;
        if (currentIndex_ < SourceCount()) {
            ProbeCurrentSource();
        } else {
            if (!RoomForOutputs())
                return;
            currentIndex_ = 0;
            phase_ = Phase::Conversion;
            StartEncoding();
        }
    } else if (phase_ == Phase::Conversion) {
        RemoveScript();
        RecordEncodeResult(res);
        ++currentIndex_;
        StartEncoding();
    }
}

void Batch::RecordEncodeResult(const QString& res)
{
    if (!EncodeSucceeded(runner_ && runner_->Succeeded(), FileExists(OutputFileName()))) {
        // The file there now is another's, not this encode's: the encoder says so on its failure line.
        SetOutcome(currentIndex_, {JobState::Failed, {}, ReadEncodeFailure(res), {}});
        return;
    }
    // The video is the user's and it is there; the subtitles it went without are named with it.
    const QStringList leftOut = SubtitlesLeftOut(res);
    JobOutcome converted {
        leftOut.isEmpty() ? JobState::Converted : JobState::ConvertedWithoutSubtitles, {}, {}, leftOut};
    converted.copied = VideoCopied(res);
    SetOutcome(currentIndex_, converted);
}

void Batch::OnStartFailed(const CommandRunner::RunError& error)
{
    const EncodeFailure failure {EncodeFailure::Kind::EncoderCouldNotStart, error.description};
    // A process that never ran raises no completion: the batch must not wait for one.
    if (phase_ == Phase::Info) {
        StopBeforeEncoding(JobOutcome {JobState::Refused, QStringLiteral("reason_encoderstart"), failure, {}}, true);
    } else if (phase_ == Phase::Conversion) {
        RemoveScript();
        SetOutcome(currentIndex_, {JobState::Failed, {}, failure, {}});
        ++currentIndex_;
        StartEncoding();
    }
}

bool Batch::RoomForOutputs()
{
    qint64 needed = 0;
    for (const Job& job : jobs_) {
        if (job.outcome.state != JobState::Skipped)
            needed += MaxOutputBytes(options_.format, job.durationSeconds);
    }
    const std::optional<qint64> free = platform_.system->freeBytes(destination_);
    if (!free || needed <= *free)
        return true;
    constexpr qint64 MB = 1024 * 1024;
    const QString question = FillIn(T(QStringLiteral("cmdConvert_nospace")),
                                    {QString::number((needed + MB - 1) / MB), QString::number(*free / MB)});
    if (platform_.messages->askYesNo(question))
        return true;
    return StopBeforeEncoding();
}

void Batch::StartEncoding()
{
    for (; currentIndex_ < SourceCount(); ++currentIndex_) {
        const Job& job = jobs_[currentIndex_];
        if (job.outcome.state == JobState::Skipped)
            continue;
        ShowConverting();
        if (SourceCount() > 1)
            view_.ShowJobCounter(currentIndex_ + 1, SourceCount());
        progress_.Maximum = static_cast<float>(job.durationSeconds);
        view_.ShowProgressMaximum(progress_.Maximum);
        SetOutcome(currentIndex_, {JobState::Converting, {}, {}, {}});
        if (!job.script.isEmpty() && !WriteScript(job)) {
            SetOutcome(currentIndex_,
                       {JobState::Failed, {}, EncodeFailure {EncodeFailure::Kind::Unknown, job.script}, {}});
            continue;
        }
        // The encoder keeps a file that takes the output's name meanwhile unless the user agreed to replace it.
        const CommandRunner::Environment environment {
            {QLatin1String(NoReplaceVariable), job.keepExisting ? QStringLiteral("1") : QStringLiteral("0")}};
        if (const auto error = RunCommand(job.commandLine, environment)) {
            RemoveScript();
            SetOutcome(currentIndex_,
                       {JobState::Failed,
                        {},
                        EncodeFailure {EncodeFailure::Kind::EncoderCouldNotStart, error->description},
                        {}});
            continue;
        }
        return;
    }
    FinishBatch();
}

bool Batch::WriteScript(const Job& job)
{
    // A script of the job's own, in a folder of the user's own: nothing another job or another batch
    // writes can stand in for it. It goes when its encode has ended.
    RemoveStaleSubtitleScripts(platform_.system->workingFolder());
    script_ = job.script;
    if (WriteSubtitleScript(platform_.system->programFolder(), job.script, job.File))
        return true;
    RemoveScript();
    return false;
}

void Batch::RemoveScript()
{
    if (!script_.isEmpty())
        QFile::remove(script_);
    script_.clear();
}

void Batch::FinishBatch()
{
    EndAs(BatchSummary::Ending::Finished);
    ReturnToIdle();
    const BatchSummary summary = Summary();
    view_.ShowFinished(summary);
    Notify(QStringLiteral("notify_done"), summary.Converted(), static_cast<int>(summary.Failed().size()));
    if (const QString message = EndMessage(); !message.isEmpty())
        platform_.messages->showOk(message);
}

QString Batch::EndMessage() const
{
    const BatchSummary summary = Summary();
    QStringList blocks;
    // After a cancel the user may not know how far it got.
    if (summary.ending == BatchSummary::Ending::Cancelled && summary.Converted() > 0)
        blocks << T(QStringLiteral("cmdCancel_convertedbefore")) + QLatin1Char('\n')
                + summary.ConvertedSources().join(QLatin1Char('\n'));
    const QChar separator = platform_.system->decimalSeparator();
    for (const Job& job : summary.Failed()) {
        // The name another file took is what the user looks for.
        const bool taken = job.outcome.failure && job.outcome.failure->kind == EncodeFailure::Kind::NameTaken;
        blocks << (taken ? OutputPath(destination_, job.File) : job.File) + QStringLiteral(":\n")
                + OutcomeReason(lang_, job.outcome, separator);
    }
    for (const QString& subtitles : summary.SubtitlesLeftOut())
        blocks << MessageText({subtitles, QStringLiteral("error_subtitlesleftout")});
    return blocks.join(QStringLiteral("\n\n"));
}

void Batch::Notify(const QString& key, int converted, int failed)
{
    if (!platform_.notifier)
        return;
    const QString text = FillIn(T(key), {QString::number(converted), QString::number(failed)});
    platform_.notifier->notify(text, T(QStringLiteral("notify_openfolder")), destination_);
}

void Batch::HandleEncoderOutput(const QString& Outputs)
{
    // Probe output, and output still arriving after a cancel, changes nothing.
    if (phase_ != Phase::Conversion)
        return;
    const std::optional<double> position = report_.TakePiece(Outputs);
    if (!position)
        return;
    const QChar separator = platform_.system->decimalSeparator();
    progress_.Position = *position;
    progress_.PositionText = UserNumber(*position, separator);
    if (const auto shown = ProgressFor(*position, progress_.Maximum, progress_.ElapsedSeconds, separator))
        view_.ShowProgress(*shown);
}

void Batch::TimerTick()
{
    ++progress_.ElapsedSeconds;
    progress_.ElapsedText = TimeText(progress_.ElapsedSeconds);
    view_.ShowElapsed(progress_.ElapsedText);
}

void Batch::ShowConverting()
{
    // The elapsed time counts from this moment: every job of a batch starts again at zero.
    progress_.ElapsedSeconds = 0;
    timer_->start();
    view_.ShowConverting();
}

void Batch::KeepAwake()
{
    if (platform_.power && !sleepLock_)
        sleepLock_ = platform_.power->KeepAwake(SleepLockWho(lang_), SleepLockWhy(lang_, SourceCount(), destination_));
}

void Batch::Pause()
{
    if (!IsRunning() || paused_)
        return;
    paused_ = true;
    if (runner_)
        runner_->Pause(true);
    timer_->stop();
    // A held batch is no reason to keep the machine awake.
    sleepLock_.reset();
}

void Batch::Resume()
{
    if (!paused_)
        return;
    paused_ = false;
    if (!IsRunning())
        return;
    KeepAwake();
    if (runner_)
        runner_->Pause(false);
    // The elapsed time goes on from where it stood.
    timer_->start();
    if (completedWhilePaused_) {
        const QString res = *completedWhilePaused_;
        completedWhilePaused_.reset();
        OnRunnerCompleted(res);
    }
}

void Batch::RequestCancel()
{
    // Nothing runs, so there is nothing to stop (a stray click or key on the hidden button).
    if (!IsRunning())
        return;
    view_.AskToCancel();
}

void Batch::ConfirmCancel()
{
    // A batch that finished while the question was open keeps its ending, and has told its end already.
    const bool wasRunning = IsRunning();
    if (wasRunning) {
        LeaveUnreached(QStringLiteral("reason_cancelled"));
        EndAs(BatchSummary::Ending::Cancelled);
    }
    // Cleared first, so a completion caused by the stop is ignored.
    phase_ = Phase::Idle;
    StopRunner();
    RemoveScript();
    ReturnToIdle();
    view_.ShowCancelled();
    view_.CancelAnswered(true, closeAfterCancel_);
    // A window that closes takes no more questions.
    if (wasRunning && !closeAfterCancel_) {
        if (const QString message = EndMessage(); !message.isEmpty())
            platform_.messages->showOk(message);
    }
}

void Batch::DeclineCancel()
{
    closeAfterCancel_ = false;
    view_.CancelAnswered(false, false);
}

bool Batch::MayClose()
{
    if (IsRunning()) {
        closeAfterCancel_ = true;
        RequestCancel();
        return false;
    }
    return true;
}

std::optional<CommandRunner::RunError> Batch::RunCommand(const QString& cmd,
                                                         const CommandRunner::Environment& environment)
{
    runner_ = RunnerRef(platform_.createRunner().release());
    connect(runner_.get(), &CommandRunner::Output, this, &Batch::HandleEncoderOutput);
    connect(runner_.get(), &CommandRunner::Completed, this, &Batch::OnRunnerCompleted);
    connect(runner_.get(), &CommandRunner::StartFailed, this, &Batch::OnStartFailed);
    return runner_->Run(cmd, environment);
}

void Batch::StopRunner()
{
    if (runner_)
        runner_->Stop();
    runner_.reset();
}

void Batch::ReturnToIdle()
{
    phase_ = Phase::Idle;
    paused_ = false;
    completedWhilePaused_.reset();
    sleepLock_.reset();
    // A job without a known duration left the bar busy; the idle bar must look still.
    if (!(progress_.Maximum > 0))
        progress_.Maximum = 100;
    progress_.ElapsedSeconds = 0;
    progress_.ElapsedText = QStringLiteral("00:00:00");
    timer_->stop();
}

QString Batch::OutputFileName() const
{
    return OutputFileNameOf(currentIndex_);
}

QString Batch::OutputFileNameOf(int row) const
{
    // Before the first batch there is no job at all.
    if (row < 0 || row >= SourceCount())
        return QString();
    return OutputPath(destination_, jobs_[row].File);
}
