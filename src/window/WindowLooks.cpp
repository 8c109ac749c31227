// The main window's looks while a batch runs and when it has ended.
#include "WindowLooks.h"

#include "DestinationField.h"
#include "MainWindow.h"
#include "ProgressPanel.h"
#include "SourceList.h"
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

    comboLanguage_->setEnabled(false);
    chkOverwrite_->setEnabled(false);
    chkShowPutiPhone_->setEnabled(false);
    chkFullHD_->setEnabled(false);
}

void MainWindow::ShowFinished(const BatchSummary& summary)
{
    ApplyWindowTexts();
    const int failed = static_cast<int>(summary.failedSources.size());
    const int total = summary.converted + failed;
    // A batch with failures is not shown complete: bar and percentage give the share that was converted.
    const double share = total > 0 ? static_cast<double>(summary.converted) / total : 1;
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
}

void MainWindow::ShowCancelled()
{
    ApplyWindowTexts();
    progress_->ShowStatus(T("cmdCancel_ed"), CancelledColour);
}
