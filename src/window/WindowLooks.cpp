#include "WindowLooks.h"

#include "Form1.h"
#include "ProgressBar.h"
#include "StatusColours.h"
#include "Twips.h"
#include "WindowTexts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

void ShowConverting(Form1& f)
{
    f.lstSource->setEnabled(false);
    f.txtDestination->setEnabled(false);
    f.cmdSourceFile->setEnabled(false);
    f.cmdDestination->setEnabled(false);
    f.chkSubtitles->setEnabled(false);
    f.cmdConvert->setEnabled(false);
    // cmdCancel lies underneath: hiding Convert is what shows Cancel.
    f.cmdConvert->setVisible(false);

    f.lblStatus->setTitle(T(f, QStringLiteral("cmdConvert_ing")));
    SetStatusColour(f.lblStatus, ConvertingColour);

    f.comboLanguage->setEnabled(false);
    f.chkOverwrite->setEnabled(false);
    f.chkShowPutiPhone->setEnabled(false);
}

void ShowFinished(Form1& f, const BatchSummary& summary)
{
    ApplyWindowTexts(f);
    const int failed = static_cast<int>(summary.failedSources.size());
    const int total = summary.converted + failed;
    // A batch with failures is not shown complete: bar and percentage give the share that was converted.
    const double share = total > 0 ? static_cast<double>(summary.converted) / total : 1;
    const QString percent = QString::number(qRound(share * 100)) + QLatin1Char('%');
    f.setWindowTitle(T(f, QStringLiteral("frmCaption")) + QStringLiteral(" - ") + percent);
    f.lblPercent->setText(percent);
    SetBarValue(f.pBar, BarMax(f.pBar) * share);
    f.lblTimeE->setText(summary.elapsedText);
    f.lblStatus->setTitle(T(f, QStringLiteral("cmdConvert_ed")));
    SetStatusColour(f.lblStatus, FinishedColour);
    f.chkSubtitles->setEnabled(true);
    if (failed > 0) {
        f.lblStatus->setTitle(
            FillIn(T(f, QStringLiteral("cmdConvert_failed")), {QString::number(failed), QString::number(total)}));
        SetStatusColour(f.lblStatus, CancelledColour);
    }
}

void ShowCancelled(Form1& f)
{
    ApplyWindowTexts(f);
    f.lblStatus->setTitle(T(f, QStringLiteral("cmdCancel_ed")));
    SetStatusColour(f.lblStatus, CancelledColour);
}
