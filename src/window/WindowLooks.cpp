#include "WindowLooks.h"

#include "Form1.h"
#include "ProgressBar.h"
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
    SetTextColour(f.lblStatus, ConvertingColour);

    f.comboLanguage->setEnabled(false);
    f.chkOverwrite->setEnabled(false);
    f.chkShowPutiPhone->setEnabled(false);
}

void ShowFinished(Form1& f, const BatchSummary& summary)
{
    ApplyWindowTexts(f);
    f.setWindowTitle(T(f, QStringLiteral("frmCaption")) + QStringLiteral(" - 100%"));
    f.lblPercent->setText(QStringLiteral("100%"));
    SetBarValue(f.pBar, BarMax(f.pBar));
    f.lblTimeE->setText(summary.elapsedText);
    f.lblStatus->setTitle(T(f, QStringLiteral("cmdConvert_ed")));
    SetTextColour(f.lblStatus, FinishedColour);
    f.chkSubtitles->setEnabled(true);
    if (!summary.failedSources.isEmpty()) {
        f.lblStatus->setTitle(T(f, QStringLiteral("error_encodefailed")));
        SetTextColour(f.lblStatus, CancelledColour);
    }
}

void ShowCancelled(Form1& f)
{
    ApplyWindowTexts(f);
    f.lblStatus->setTitle(T(f, QStringLiteral("cmdCancel_ed")));
    SetTextColour(f.lblStatus, CancelledColour);
}
