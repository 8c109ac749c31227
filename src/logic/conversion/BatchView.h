#pragma once

#include "BatchSummary.h"
#include "ProgressDisplay.h"

#include <QString>

// The front end as a batch sees it. The batch decides; the view only shows.
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
    // The outcome of the job at `index` (its source's place in the list) has changed.
    virtual void ShowJob(int index, const Job& job) = 0;
    // The batch is over. When the summary says the how-to page is due, the front end opens it.
    virtual void ShowFinished(const BatchSummary& summary) = 0;
    // A cancelled batch, or one stopped by a refused source; the batch's summary says which.
    virtual void ShowCancelled() = 0;
    // Opens the cancel question; the batch goes on meanwhile.
    virtual void AskToCancel() = 0;
    // The question is answered; `closeWindow` when the cancel came from closing the window.
    virtual void CancelAnswered(bool confirmed, bool closeWindow) = 0;
};
