#pragma once

#include "BatchOptions.h"
#include "BatchSummary.h"
#include "BatchView.h"
#include "EncoderReport.h"
#include "Job.h"
#include "JobPlan.h"
#include "ProgressState.h"
#include "localisation/Language.h"
#include "platform/Platform.h"

#include <QObject>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

class QTimer;

// Releasing a runner from inside one of its own events must not destroy it under its feet.
struct DeleteLaterRunner
{
    void operator()(CommandRunner* runner) const;
};
using RunnerRef = std::unique_ptr<CommandRunner, DeleteLaterRunner>;

enum class Phase { Idle, Info, Conversion };

// The most sources one batch takes; a longer list is refused before anything starts.
constexpr int MaxSources = 1000;

// One batch of conversions: every source is probed in list order and its encoder command line planned,
// then the command lines run one after another. Exactly one process runs at a time, and the batch moves
// on only when it has completed. The front end is told what to show through its view; from the platform
// the batch needs message boxes, system facts and runners, and a notifier when there is one.
class Batch : public QObject
{
    Q_OBJECT
public:
    Batch(Platform& platform, const Localisation& lang, BatchView& view, QObject* parent = nullptr);
    ~Batch() override;

    // Starts a batch of the sources into the destination folder (typed with its trailing separator), or
    // tells the user why not. A started batch ends with the view's ShowFinished or ShowCancelled, possibly
    // before this returns; one that never starts calls no view at all. Summary() tells which.
    void StartConversion(const QStringList& sources, const QString& destination, const BatchOptions& options);
    // "ok", or the message key "error_badDestination".
    static QString CheckDestination(const QString& destination);

    // Cancel: the question, then Yes (ConfirmCancel) or No (DeclineCancel).
    void RequestCancel();
    void ConfirmCancel();
    void DeclineCancel();
    // The close rule: false turns the close request into a cancel request.
    bool MayClose();

    // Holds the running process where it is and stops the elapsed time; the machine may sleep meanwhile.
    // Resume lets both go on. Nothing happens while no batch runs.
    void Pause();
    void Resume();
    bool IsPaused() const { return paused_; }
    // The machine is kept from sleeping: from the start of a batch to its end, except while it is paused.
    bool KeepsAwake() const { return sleepLock_ != nullptr; }

    // Ends the current runner: no further events come from it.
    void StopRunner();
    // The state the idle front end shows: no phase, no elapsed time, an empty bar.
    void ReturnToIdle();

    bool IsRunning() const { return phase_ != Phase::Idle; }
    Phase ConversionPhase() const { return phase_; }
    // The job being probed or encoded.
    int CurrentIndex() const { return currentIndex_; }
    // One job per source of the batch, in list order, each with its outcome so far.
    const std::vector<Job>& Jobs() const { return jobs_; }
    int SourceCount() const { return static_cast<int>(jobs_.size()); }
    const QString& Destination() const { return destination_; }
    const BatchOptions& Options() const { return options_; }
    // The pending cancel request came from closing the window.
    bool CloseAfterCancel() const { return closeAfterCancel_; }
    const ProgressState& Progress() const { return progress_; }
    // How the last batch ended, read from its jobs.
    BatchSummary Summary() const;
    // Counts the elapsed time while a job runs.
    const QTimer& Timer() const { return *timer_; }
    // The output path of the current job, and of any job of the batch.
    QString OutputFileName() const;
    QString OutputFileNameOf(int row) const;

private:
    // The runner's events: the whole output of the process that ended, and each piece as it comes.
    void OnRunnerCompleted(const QString& res);
    void HandleEncoderOutput(const QString& Outputs);
    // A second of the current job's elapsed time.
    void TimerTick();
    // Starts a command line through a fresh runner; the error when it cannot be started, and then no
    // completion follows. One that fails to start later is handled by OnStartFailed.
    std::optional<CommandRunner::RunError> RunCommand(const QString& cmd,
                                                      const CommandRunner::Environment& environment = {});
    // Restarts the elapsed-time count and shows the converting look.
    void ShowConverting();
    void KeepAwake();

    void ProbeCurrentSource();
    // Plans the current job from its probe output and asks the question the plan holds. False when the
    // batch stops here (the user has been told why, and the cancelled look is shown).
    bool PrepareJob(const QString& res);
    JobFiles ExamineSource(int row) const;
    // Before the first encode: when the outputs may not fit in the destination, the user decides.
    bool RoomForOutputs();
    // Runs the encoder for the current job, or ends the batch.
    void StartEncoding();
    void FinishBatch();
    void RecordEncodeResult(const QString& res);
    // Writes the job's subtitle script; false when it could not be written.
    bool WriteScript(const Job& job);
    // Removes the script of the encode that ran or was about to run.
    void RemoveScript();
    // A command that did not start: before the first encode the batch stops there; an encode has failed
    // and the next one is tried.
    void OnStartFailed(const CommandRunner::RunError& error);
    // Ends the batch before any encode with the cancelled look. The current job may have stopped it
    // (the user is then told why when `tellWhy`); every job that has not ended was not reached. Always false.
    bool StopBeforeEncoding(const std::optional<JobOutcome>& stoppedAt = std::nullopt, bool tellWhy = false);
    void SetOutcome(int row, JobOutcome outcome);
    // Every job that has not ended yet is not reached, for the reason of `key`. The views hear of these in
    // list order, and of `changedRow` among them.
    void LeaveUnreached(const QString& key, int changedRow = -1);
    void EndAs(BatchSummary::Ending ending);
    // What the user is told once a batch is over: its failures, the subtitles left out, and after a cancel
    // what was converted before it. Empty when there is nothing to tell.
    QString EndMessage() const;
    // Tells a user who is not watching how the batch ended.
    void Notify(const QString& key, int converted, int failed);
    QString T(const QString& key) const;
    QString MessageText(const FileMessage& message) const;

    Platform& platform_;
    const Localisation& lang_;
    BatchView& view_;

    std::vector<Job> jobs_;
    int currentIndex_ = 0;
    Phase phase_ = Phase::Idle;
    bool closeAfterCancel_ = false;
    QString destination_;
    BatchOptions options_;
    ProgressState progress_;
    EncoderReport report_;
    BatchSummary::Ending ending_ = BatchSummary::Ending::None;
    QString endElapsedText_; // the last job's elapsed time when the batch ended
    RunnerRef runner_; // a fresh one for every command line
    QString script_; // the subtitle script of the current encode; empty when none
    QTimer* timer_;
    // One lock for the whole batch, so the machine cannot sleep between two files either.
    std::unique_ptr<SleepLock> sleepLock_;
    bool paused_ = false;
    // A process that ended just as the batch was paused: the batch goes on from it on Resume.
    std::optional<QString> completedWhilePaused_;
};
