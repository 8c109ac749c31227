#pragma once

#include "BatchView.h"
#include "Jobs.h"
#include "localisation/Language.h"
#include "platform/Platform.h"

#include <QObject>
#include <memory>

class QTimer;
class WebLinks;

// Releasing a runner from inside one of its own events must not destroy it under its feet.
struct DeleteLaterRunner
{
    void operator()(ShellRpk* runner) const;
};
using RunnerRef = std::unique_ptr<ShellRpk, DeleteLaterRunner>;

// One batch of conversions: every source is probed in list order and its encoder command line built,
// then the command lines run one after another. Exactly one process runs at a time, and the batch
// moves on only when it has completed. The window is told what to show through its view.
class Batch : public QObject
{
    Q_OBJECT
public:
    Batch(Platform& platform, const Localisation& lang, WebLinks& links, BatchView& view, QObject* parent = nullptr);
    ~Batch() override;

    // Starts a batch of the listed sources, or tells the user why not.
    void StartConversion(const QStringList& sources, const QString& destination, const BatchOptions& options);
    // "ok", or the message key "error_badDestination".
    static QString CheckDestination(const QString& destination);
    void ProbeCurrentSource();
    void OnRunnerCompleted(const QString& res);
    void StartEncoding();
    // Checks row CurrentIndex against its probe output and stores its encoder command line. False when
    // the batch must stop; the user has been told why and the cancelled look is shown.
    bool PrepareJob(const QString& res);
    // Before the first encode: when the outputs may not fit in the destination, the user decides.
    // False when the batch ends here (the cancelled look is shown).
    bool RoomForOutputs();

    // Cancel: the question, then Yes (ConfirmCancel) or No (DeclineCancel).
    void RequestCancel();
    void ConfirmCancel();
    void DeclineCancel();
    // The close rule: false turns the close request into a cancel request.
    bool QueryUnload();
    bool IsRunning() const { return ConversionPhase != Phase::Idle; }

    // Starts a command line through a fresh runner held in S.
    void ShellRpk(const QString& cmd);
    // Ends the current runner: no further events come from it.
    void StopRunner();

    void HandleEncoderOutput(const QString& Outputs);
    void TimerTick();
    // Restarts the elapsed-time count and shows the converting look.
    void ShowConverting();
    // The state the idle window shows: no phase, no elapsed time, an empty bar.
    void ReturnToIdle();

    // The output path of the row at CurrentIndex, and of any row of the batch.
    QString OutputFileName() const;
    QString OutputFileNameOf(int row) const;

    std::vector<Job> Jobs = std::vector<Job>(JobRows);
    qint16 CurrentIndex = 0;
    Phase ConversionPhase = Phase::Idle;
    int CloseAfterCancel = 0;
    QStringList FailedSources; // encodes of this batch that did not produce their output
    int ConvertedCount = 0;
    ProgressState Progress;
    QString Destination; // the folder as typed, with its trailing separator
    BatchOptions Options;
    RunnerRef S;
    QTimer* Timer;

private:
    QString T(const QString& key) const;
    // Stops the batch at the current row: the path, ":", a line feed and the text of the key, then the
    // cancelled look. Always false.
    bool Refuse(const QString& path, const QString& key);
    void RecordEncodeResult();
    int SourceCount() const;
    // Tells a user who is not watching how the batch ended.
    void Notify(const QString& key, int converted, int failed);

    Platform& platform_;
    const Localisation& lang_;
    WebLinks& links_;
    BatchView& view_;
};
