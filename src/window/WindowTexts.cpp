#include "WindowTexts.h"

#include "Form1.h"
#include "ProgressBar.h"
#include "TabControl.h"
#include "Twips.h"
#include "conversion/Batch.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPalette>
#include <QPushButton>
#include <QTextEdit>

void ApplyWindowTexts(Form1& f)
{
    auto t = [&f](const char* key) {
        return T(f, QLatin1String(key));
    };

    f.setWindowTitle(t("frmCaption"));
    SetTopTwips(f.frameCheckVersion, 0);

    // The tab control captions only its current tab; the Convert tab is left showing.
    f.tabMain->setCurrentIndex(2);
    f.tabMain->setCaption(t("tabMain_About"));
    f.tabMain->setCurrentIndex(1);
    f.tabMain->setCaption(t("tabMain_Options"));
    f.tabMain->setCurrentIndex(0);
    f.tabMain->setCaption(t("tabMain_Convert"));

    f.cmdConvert->setEnabled(true);
    f.cmdConvert->setText(t("cmdConvert"));

    // Phase, elapsed count and bar go back to idle; a bar left busy by an unknown duration stands still.
    f.batch->ReturnToIdle();
    SetBarMax(f.pBar, f.batch->Progress().Maximum);
    SetBarValue(f.pBar, 0); // the bar's minimum never moves from 0

    f.lblTimeE->setText(QStringLiteral("00:00:00"));
    f.lblTimeR->setText(QStringLiteral("00:00:00"));
    f.lblPercent->setText(QStringLiteral("0%"));

    // What a screen reader says of the controls without a caption of their own.
    f.lstSource->setAccessibleName(t("lstSource_name"));
    f.txtDestination->setAccessibleName(t("txtDestination_name"));
    f.pBar->setAccessibleName(t("pBar_name"));
    f.lblPercent->setAccessibleName(t("lblPercent_name"));
    f.lblTimeE->setAccessibleName(t("lblTimeE_name"));
    f.lblTimeR->setAccessibleName(t("lblTimeR_name"));
    f.sourceHint = t("lstSource_hint");
    f.lstSource->viewport()->update();

    f.cmdSourceFile->setText(t("cmdSourceFile"));
    f.cmdDestination->setText(t("cmdDestination"));

    f.lstSource->setEnabled(true);
    f.txtDestination->setEnabled(true);
    f.cmdSourceFile->setEnabled(true);
    f.cmdDestination->setEnabled(true);

    f.chkSubtitles->setText(t("chkSubtitles"));
    f.chkSubtitles->setEnabled(true);

    f.cmdConvert->setText(t("cmdConvert"));
    f.cmdConvert->setVisible(true);

    f.cmdCancel->setText(t("cmdCancel"));

    f.lblStatus->setTitle(QString());

    f.lblTimeElapsed->setText(t("lblTimeElapsed"));
    f.lblTimeRemaining->setText(t("lblTimeRemaining"));
    f.lblLanguage->setText(t("lblLanguage"));

    f.comboLanguage->setEnabled(true);
    f.chkOverwrite->setEnabled(true);
    f.chkShowPutiPhone->setEnabled(true);

    f.chkOverwrite->setText(t("chkOverwrite"));
    f.chkShowPutiPhone->setText(t("chkShowPutiPhone"));

    SetTextColour(f.lblCheckVersion, QApplication::palette().color(QPalette::ButtonText));

    f.cmdGetNewVersion->setText(t("cmdGetNewVersion"));
    f.cmdGetNewVersion->setVisible(false);

    f.txtAbout->setPlainText(t("txtAbout"));

    f.cmdDonate->setText(t("cmdDonate"));
}
