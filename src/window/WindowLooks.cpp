// The main window's looks while a batch runs and when it has ended.
#include "WindowLooks.h"

#include "CountdownPanel.h"
#include "DestinationField.h"
#include "MainWindow.h"
#include "ProgressPanel.h"
#include "SourceList.h"
#include "conversion/OutcomeText.h"
#include "desktop/DesktopServices.h"
#include "localisation/Language.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>

void MainWindow::ShowConverting()
{
    sourceList_->setEnabled(false);
    destination_->setEnabled(false);
    cmdSourceFile_->setEnabled(false);
    chkSubtitles_->setEnabled(false);
    cmdConvert_->setEnabled(false);
    // cmdCancel lies underneath: hiding Convert is what shows Cancel.
    cmdConvert_->setVisible(false);

    progress_->ShowStatus(T("cmdConvert_ing"), ConvertingColour);
    cmdPause_->setText(T("cmdPause"));

    comboLanguage_->setEnabled(false);
    chkOverwrite_->setEnabled(false);
    chkShowPutiPhone_->setEnabled(false);
    chkFullHD_->setEnabled(false);
    chk4K_->setEnabled(false);
}

void MainWindow::ShowFinished(const BatchSummary& summary)
{
    ApplyWindowTexts();
    const int converted = summary.Converted();
    const int failed = static_cast<int>(summary.Failed().size());
    const int total = converted + failed;
    // A batch with failures is not shown complete: bar and percentage give the share that was converted.
    const double share = total > 0 ? static_cast<double>(converted) / total : 1;
    const QString percent = QString::number(qRound(share * 100)) + QLatin1Char('%');
    setWindowTitle(T("frmCaption") + QStringLiteral(" - ") + percent);
    progress_->ShowShare(percent, share);
    progress_->ShowElapsed(summary.elapsedText);
    progress_->ShowStatus(T("cmdConvert_ed"), FinishedColour);
    chkSubtitles_->setEnabled(true);
    if (failed > 0) {
        progress_->ShowStatus(FillIn(T("cmdConvert_failed"), {QString::number(failed), QString::number(total)}),
                              CancelledColour);
    }
    if (summary.howToPageDue)
        links_.OpenPutOnIPhonePage();
    const auto action = static_cast<WhenDone>(comboWhenDone_->currentIndex());
    if (WhenDoneDue(action, summary)) {
        countdown_->Start(
            CountdownSeconds(), [this, action](int left) { return WhenDoneCountdownText(lang_, action, left); },
            T("cmdStopCountdown"));
    }
}

void MainWindow::ShowCancelled()
{
    // A batch that ended while its cancel question was open is cancelled all the same: nothing follows it.
    countdown_->Stop();
    ApplyWindowTexts();
    progress_->ShowStatus(T("cmdCancel_ed"), CancelledColour);
    if (focusListAfterBatch_)
        sourceList_->setFocus();
    focusListAfterBatch_ = false;
}

void MainWindow::ShowJob(int index, const Job& job)
{
    // A list changed behind the batch's back has rows the batch does not know.
    if (index >= sourceList_->count() || sourceList_->item(index)->text() != job.File)
        return;
    if (rowOutcomes_.size() != static_cast<size_t>(sourceList_->count()))
        rowOutcomes_.assign(sourceList_->count(), JobOutcome {});
    rowOutcomes_[index] = job.outcome;
    const QChar separator = platform_.system->decimalSeparator();
    sourceList_->SetMark(index, job.outcome, OutcomeText(lang_, job.outcome, separator),
                         OutcomeDetails(lang_, job.outcome, separator));
    if (job.outcome.state == JobState::Refused) {
        sourceList_->SelectOnly(index);
        focusListAfterBatch_ = true;
    }
}

void MainWindow::ShowRowMarks()
{
    const QChar separator = platform_.system->decimalSeparator();
    for (size_t row = 0; row < rowOutcomes_.size() && static_cast<int>(row) < sourceList_->count(); ++row) {
        const JobOutcome& outcome = rowOutcomes_[row];
        sourceList_->SetMark(static_cast<int>(row), outcome, OutcomeText(lang_, outcome, separator),
                             OutcomeDetails(lang_, outcome, separator));
    }
}
