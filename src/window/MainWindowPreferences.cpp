// The main window's start, its option clicks and its end: the logic decides, the window shows.
#include "MainWindow.h"

#include "DestinationField.h"
#include "Layout.h"
#include "LinkLabel.h"
#include "QtTranslation.h"
#include "SourceList.h"
#include "TabControl.h"
#include "Twips.h"
#include "localisation/Language.h"
#include "preferences/StartUp.h"
#include "update/VersionCheck.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

namespace {

// The first item equal to the language, or the last item when none is (the last one is never compared).
void SelectLanguageItem(QComboBox* combo, const QString& language)
{
    int index = combo->currentIndex();
    while (index < combo->count() - 1 && combo->itemText(index) != language)
        ++index;
    combo->setCurrentIndex(index);
}

} // namespace

bool MainWindow::StartUp()
{
    SystemFacts& system = *platform_.system;
    const StartUpResult start = ::StartUp(*platform_.settings, system, *platform_.shell, lang_);
    prefs_ = start.preferences;

    SetCheckValue(chkOverwrite_, prefs_.optOverwrite ? 1 : 0);
    SetCheckValue(chkShowPutiPhone_, prefs_.optShowPutiPhone ? 1 : 0);
    const OutputFormat format = SavedOutputFormat(prefs_);
    SetCheckValue(chkFullHD_, format == OutputFormat::FullHd ? 1 : 0);
    SetCheckValue(chk4K_, format == OutputFormat::FourK ? 1 : 0);
    destination_->SetText(prefs_.destination);
    if (prefs_.windowPosition)
        RestorePosition(*prefs_.windowPosition);
    SelectLanguageItem(comboLanguage_, lang_.CurrentLanguage);
    sourceList_->SetDialogFolder(prefs_.lastSourceFolder);
    LoadQtTranslation(lang_.CurrentLanguage);
    if (!start.language.loaded) {
        platform_.messages->showOk(start.language.message);
        return false;
    }

    SetWindowHeightTwips(SingleLayoutHeight);
    ApplyWindowTexts();
    startedUp_ = true;

    // A build without a site asks nobody for a version, and offers no page that does not exist.
    if (!links_.HasSite()) {
        lblContact_->setEnabled(false);
        cmdDonate_->setEnabled(false);
        return true;
    }
    StartVersionCheck(VersionCheckUrl(links_.SiteBaseUrl, system.decimalSeparator()));
    return true;
}

// The saved place is used only while part of the window's top-left corner is on some screen.
void MainWindow::RestorePosition(const WindowPosition& position)
{
    const QPoint corner(ToPixels(position.left), ToPixels(position.top));
    const int margin = ToPixels(1000);
    if (!QGuiApplication::screenAt(corner) || !QGuiApplication::screenAt(corner + QPoint(margin, margin)))
        return;
    move(corner);
}

void MainWindow::SaveOptions()
{
    prefs_.optOverwrite = chkOverwrite_->isChecked();
    prefs_.optShowPutiPhone = chkShowPutiPhone_->isChecked();
    prefs_.optFullHD = chkFullHD_->isChecked();
    prefs_.opt4K = chk4K_->isChecked();
    prefs_.language = comboLanguage_->currentText();
    ::SaveOptions(*platform_.settings, prefs_);
    const QString previous = lang_.CurrentLanguage;
    lang_.CurrentLanguage = prefs_.language;
    if (lang_.CurrentLanguage != previous) {
        LoadQtTranslation(lang_.CurrentLanguage);
        ApplyWindowTexts();
    }
    tabMain_->setCurrentIndex(1);
}

Preferences MainWindow::CurrentPreferences() const
{
    Preferences p = prefs_;
    p.destination = destination_->Text();
    p.windowPosition = WindowPosition {ToTwips(y()), ToTwips(x())};
    p.lastSourceFolder = sourceList_->DialogFolder();
    return p;
}

void MainWindow::SaveWindowState()
{
    prefs_ = CurrentPreferences();
    ::SaveWindowState(*platform_.settings, prefs_);
}
