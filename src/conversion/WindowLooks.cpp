#include "WindowLooks.h"

#include "localisation/WindowTexts.h"
#include "window/Form1.h"
#include "window/ProgressBar.h"
#include "window/Twips.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

void ShowConverting(Form1& f)
{
    // The elapsed time counts from this moment: every job of a batch starts again at zero.
    f.conv.ElapsedSeconds = 0;
    f.Timer->start();

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

void ShowFinished(Form1& f, const QString& elapsedText)
{
    ApplyWindowTexts(f);
    f.setWindowTitle(T(f, QStringLiteral("frmCaption")) + QStringLiteral(" - 100%"));
    f.lblPercent->setText(QStringLiteral("100%"));
    SetBarValue(f.pBar, BarMax(f.pBar));
    f.lblTimeE->setText(elapsedText);
    f.lblStatus->setTitle(T(f, QStringLiteral("cmdConvert_ed")));
    SetTextColour(f.lblStatus, FinishedColour);
    f.chkSubtitles->setEnabled(true);
}

void ShowCancelled(Form1& f)
{
    ApplyWindowTexts(f);
    f.lblStatus->setTitle(T(f, QStringLiteral("cmdCancel_ed")));
    SetTextColour(f.lblStatus, CancelledColour);
}
