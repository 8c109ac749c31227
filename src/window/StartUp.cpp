#include "StartUp.h"

#include "Form1.h"
#include "QtTranslation.h"
#include "TabControl.h"
#include "Twips.h"
#include "VersionPanel.h"
#include "WindowTexts.h"
#include "conversion/Paths.h"
#include "localisation/Language.h"
#include "preferences/StartUp.h"
#include "update/VersionCheck.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
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

// The saved place is used only while part of the window's top-left corner is on some screen.
void RestorePosition(Form1& f, const WindowPosition& position)
{
    const QPoint corner(ToPixels(position.left), ToPixels(position.top));
    const int margin = ToPixels(1000);
    if (!QGuiApplication::screenAt(corner) || !QGuiApplication::screenAt(corner + QPoint(margin, margin)))
        return;
    f.move(corner);
}

} // namespace

bool StartUp(Form1& f)
{
    return StartUp(f, QStringLiteral(REELPOCKET_SITE_URL));
}

bool StartUp(Form1& f, const QString& siteUrl)
{
    SystemFacts& system = *f.platform.system;
    const StartUpResult start = StartUp(*f.platform.settings, system, *f.platform.shell, f.lang);
    const Preferences& p = start.preferences;
    f.opts.SystemFolder = start.systemFolder;
    f.opts.LastSourceFolder = p.lastSourceFolder;

    f.opts.OptOverwrite = p.optOverwrite ? 1 : 0;
    SetCheckValue(f.chkOverwrite, f.opts.OptOverwrite);
    f.opts.OptShowPutiPhone = p.optShowPutiPhone ? 1 : 0;
    SetCheckValue(f.chkShowPutiPhone, f.opts.OptShowPutiPhone);
    f.txtDestination->setText(p.destination);
    if (p.windowPosition)
        RestorePosition(f, *p.windowPosition);
    SelectLanguageItem(f.comboLanguage, f.lang.CurrentLanguage);
    LoadQtTranslation(f.lang.CurrentLanguage);
    if (!start.language.loaded) {
        f.platform.messages->showOk(start.language.message);
        return false;
    }

    f.SetWindowHeightTwips(SingleLayoutHeight);
    f.opts.LayoutStep = 1200;
    ApplyWindowTexts(f);

    // From here on option clicks are saved.
    f.links.SiteBaseUrl = siteUrl;
    f.links.HelpFolder = system.programFolder() + Separator() + QStringLiteral("help");
    // A build without a site asks nobody for a version, and offers no page that does not exist.
    if (!f.links.HasSite()) {
        f.lblContact->setEnabled(false);
        f.cmdDonate->setEnabled(false);
        return true;
    }
    f.versionPanel->Start(VersionCheckUrl(f.links.SiteBaseUrl, system.decimalSeparator()));
    return true;
}

void SaveOptions(Form1& f)
{
    f.opts.OptOverwrite = CheckValue(f.chkOverwrite);
    f.opts.OptShowPutiPhone = CheckValue(f.chkShowPutiPhone);
    Preferences p;
    p.optOverwrite = f.opts.OptOverwrite != 0;
    p.optShowPutiPhone = f.opts.OptShowPutiPhone != 0;
    p.language = f.comboLanguage->currentText();
    SaveOptions(*f.platform.settings, p);
    const QString previous = f.lang.CurrentLanguage;
    f.lang.CurrentLanguage = p.language;
    if (p.language != previous) {
        LoadQtTranslation(p.language);
        ApplyWindowTexts(f);
    }
    f.tabMain->setCurrentIndex(1);
}

void SaveWindowState(Form1& f)
{
    Preferences p;
    p.windowPosition = WindowPosition {ToTwips(f.y()), ToTwips(f.x())};
    p.destination = f.txtDestination->text();
    SaveWindowState(*f.platform.settings, p);
}
