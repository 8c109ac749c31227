#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// What changes on screen after an encoder report, in the order the window applies it.
struct ProgressDisplay
{
    std::optional<double> barValue; // seconds
    std::optional<QString> remaining;
    bool barFull = false; // the position ran past the duration
    std::optional<QString> percent; // "25%", "12.2%"
};

// How a batch ended.
struct BatchSummary
{
    QString elapsedText; // the last job's elapsed time
    int converted = 0;
    QStringList failedSources;
};

// The window as a batch sees it. The batch decides; the view only shows.
class BatchView
{
public:
    virtual ~BatchView() = default;
    // Controls locked and the converting status; called at the start and again for every job.
    virtual void ShowConverting() = 0;
    // "job of count" beside the converting status, for batches of more than one source.
    virtual void ShowJobCounter(int job, int count) = 0;
    virtual void ShowProgressMaximum(double seconds) = 0;
    virtual void ShowProgress(const ProgressDisplay& progress) = 0;
    virtual void ShowElapsed(const QString& text) = 0;
    virtual void ShowFinished(const BatchSummary& summary) = 0;
    // A cancelled batch, or one stopped by a refused source.
    virtual void ShowCancelled() = 0;
    // Opens the cancel question; the batch goes on meanwhile.
    virtual void AskToCancel() = 0;
    // The question is answered; `closeWindow` when the cancel came from closing the window.
    virtual void CancelAnswered(bool confirmed, bool closeWindow) = 0;
};
