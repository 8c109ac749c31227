// Every caption of the main window in the current language, set in a fixed order that also returns the
// window to its idle look.
#include "DestinationField.h"
#include "MainWindow.h"
#include "ProgressPanel.h"
#include "SourceList.h"
#include "TabControl.h"
#include "Twips.h"
#include "VersionPanel.h"
#include "conversion/Batch.h"
#include "localisation/Language.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>

void MainWindow::ApplyWindowTexts()
{
    setWindowTitle(T("frmCaption"));
    SetTopTwips(versionPanel_, 0);

    // The tab control captions only its current tab; the Convert tab is left showing.
    tabMain_->setCurrentIndex(2);
    tabMain_->setCaption(T("tabMain_About"));
    tabMain_->setCurrentIndex(1);
    tabMain_->setCaption(T("tabMain_Options"));
    tabMain_->setCurrentIndex(0);
    tabMain_->setCaption(T("tabMain_Convert"));

    cmdConvert_->setEnabled(true);
    cmdConvert_->setText(T("cmdConvert"));

    // Phase, elapsed count and bar go back to idle.
    batch_->ReturnToIdle();
    progress_->ReturnToIdle(batch_->Progress().Maximum);
    // What a screen reader says of the controls without a caption of their own.
    progress_->SetAccessibleNames(T("pBar_name"), T("lblPercent_name"), T("lblTimeE_name"), T("lblTimeR_name"));
    sourceList_->SetTexts(T("lstSource_hint"), T("lstSource_name"));
    ShowRowMarks();

    cmdSourceFile_->setText(T("cmdSourceFile"));
    destination_->SetTexts(T("cmdDestination"), T("txtDestination_name"));

    sourceList_->setEnabled(true);
    destination_->setEnabled(true);
    cmdSourceFile_->setEnabled(true);

    chkSubtitles_->setText(T("chkSubtitles"));
    chkSubtitles_->setEnabled(true);

    cmdConvert_->setText(T("cmdConvert"));
    cmdConvert_->setVisible(true);

    cmdCancel_->setText(T("cmdCancel"));
    cmdPause_->setText(T("cmdPause"));
    lblWhenDone_->setText(T("lblWhenDone"));
    const QStringList whenDoneKeys = WhenDoneChoiceKeys();
    for (int i = 0; i < whenDoneKeys.size(); ++i)
        comboWhenDone_->setItemText(i, Translate(lang_, whenDoneKeys.at(i)));
    if (comboWhenDone_->currentIndex() < 0)
        comboWhenDone_->setCurrentIndex(0);

    progress_->ShowStatus(QString());
    progress_->SetTexts(T("lblTimeElapsed"), T("lblTimeRemaining"));
    lblLanguage_->setText(T("lblLanguage"));

    comboLanguage_->setEnabled(true);
    chkOverwrite_->setEnabled(true);
    chkShowPutiPhone_->setEnabled(true);
    chkFullHD_->setEnabled(true);
    chk4K_->setEnabled(true);

    chkOverwrite_->setText(T("chkOverwrite"));
    chkShowPutiPhone_->setText(T("chkShowPutiPhone"));
    chkFullHD_->setText(T("chkFullHD"));
    chk4K_->setText(T("chk4K"));

    versionPanel_->SetTexts(T("cmdGetNewVersion"));

    txtAbout_->setPlainText(T("txtAbout"));

    cmdDonate_->setText(T("cmdDonate"));
}
