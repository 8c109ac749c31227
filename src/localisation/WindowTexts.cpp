#include "WindowTexts.h"

#include "window/Form1.h"
#include "window/ProgressBar.h"
#include "window/TabControl.h"
#include "window/Twips.h"

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
#include <QTimer>

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

    // A job without a known duration left the bar busy; the idle bar must look still.
    if (!(BarMax(f.pBar) > 0))
        SetBarMax(f.pBar, 100);
    SetBarValue(f.pBar, 0); // the bar's minimum never moves from 0

    f.lblTimeE->setText(QStringLiteral("00:00:00"));
    f.lblTimeR->setText(QStringLiteral("00:00:00"));
    f.lblPercent->setText(QStringLiteral("0%"));

    f.conv.ConversionPhase.clear();

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

    f.conv.ElapsedSeconds = 0;
    f.Timer->stop();
}
