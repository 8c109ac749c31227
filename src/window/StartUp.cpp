#include "StartUp.h"

#include "Form1.h"
#include "QtTranslation.h"
#include "TabControl.h"
#include "Twips.h"
#include "VersionPanel.h"
#include "WindowTexts.h"
#include "conversion/Paths.h"
#include "conversion/Registration.h"
#include "localisation/Language.h"
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

const QString AppName = QStringLiteral("Reelpocket");
const QString Section = QStringLiteral("Config");

QString ReadSetting(Form1& f, const QString& key)
{
    return f.platform.settings->read(AppName, Section, key);
}

void WriteSetting(Form1& f, const QString& key, const QString& value)
{
    f.platform.settings->write(AppName, Section, key, value);
}

// Only a clear (0) or ticked (1) option is kept; anything else, nothing stored included, is ticked.
int OptionValue(const QString& stored)
{
    bool ok = false;
    const int value = stored.trimmed().toInt(&ok);
    return ok && (value == 0 || value == 1) ? value : 1;
}

// The first item equal to the language, or the last item when none is (the last one is never compared).
void SelectLanguageItem(QComboBox* combo, const QString& language)
{
    int index = combo->currentIndex();
    while (index < combo->count() - 1 && combo->itemText(index) != language)
        ++index;
    combo->setCurrentIndex(index);
}

// Windows keeps its desktop components registered system-wide; elsewhere they are part of the program.
void RegisterComponents(Form1& f, const QString& folder)
{
    RegisterTimerLite(*f.platform.system);
    f.opts.SystemFolder = GetSystemFolder(f);
    if (!f.platform.system->componentsNeedRegistration())
        return;
    const QString sep = Separator();
    f.platform.shell->startCommand(folder + sep + QStringLiteral("ShellRpk.exe /regserver"),
                                   WindowStyle::NormalNoFocus);
    const QStringList controls
        = QStringLiteral("MSWINSCK.OCX,RICHTX32.OCX,tabctl32.ocx,comdlg32.ocx,comctl32.ocx").split(QLatin1Char(','));
    for (const QString& name : controls) {
        if (!FileExists(f.opts.SystemFolder + sep + name)) {
            f.platform.shell->startCommand(QStringLiteral("regsvr32 /s \"") + folder + sep + name + QLatin1Char('"'),
                                           WindowStyle::Hidden);
        }
    }
}

// The saved place is used only while part of the window's top-left corner is on some screen.
void RestorePosition(Form1& f, const QString& top, const QString& left)
{
    bool topOk = false;
    bool leftOk = false;
    const int topTwips = top.trimmed().toInt(&topOk);
    const int leftTwips = left.trimmed().toInt(&leftOk);
    if (!topOk || !leftOk)
        return;
    const QPoint corner(ToPixels(leftTwips), ToPixels(topTwips));
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
    const QString folder = system.programFolder();
    const QString sep = Separator();

    const QString top = ReadSetting(f, QStringLiteral("Top"));
    const QString left = ReadSetting(f, QStringLiteral("Left"));
    const QString destination = ReadSetting(f, QStringLiteral("Destination"));

    f.opts.OptOverwrite = OptionValue(ReadSetting(f, QStringLiteral("optOverwrite")));
    SetCheckValue(f.chkOverwrite, f.opts.OptOverwrite);
    f.opts.OptShowPutiPhone = OptionValue(ReadSetting(f, QStringLiteral("optShowPutiPhone")));
    SetCheckValue(f.chkShowPutiPhone, f.opts.OptShowPutiPhone);

    // A stored destination counts only together with a stored window position.
    const bool placed = !top.isEmpty() && !left.isEmpty();
    if (placed)
        f.txtDestination->setText(destination);
    else
        f.txtDestination->setText(system.defaultDestination());
    if (placed)
        RestorePosition(f, top, left);

    // The detected language is not stored: only the user's own choice is.
    f.lang.CurrentLanguage = ReadSetting(f, QStringLiteral("Language"));
    if (f.lang.CurrentLanguage.isEmpty())
        f.lang.CurrentLanguage = DetectSystemLanguage(system.systemLanguageName());
    SelectLanguageItem(f.comboLanguage, f.lang.CurrentLanguage);
    LoadQtTranslation(f.lang.CurrentLanguage);

    system.changeWorkingDirectory(folder);
    RegisterComponents(f, folder);

    const QString languageFile = folder + sep + QStringLiteral("Languages");
    if (!LoadLanguageFile(f.lang, languageFile)) {
        // Without the table there are no translated texts to show.
        f.platform.messages->showOk(languageFile
                                    + QStringLiteral(":\nThis language file is missing or cannot be "
                                                     "read. Reelpocket cannot start without it."));
        return false;
    }

    f.SetWindowHeightTwips(SingleLayoutHeight);
    f.opts.LayoutStep = 1200;
    ApplyWindowTexts(f);

    // From here on option clicks are saved.
    f.links.SiteBaseUrl = siteUrl;
    f.links.HelpFolder = folder + sep + QStringLiteral("help");
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
    WriteSetting(f, QStringLiteral("optOverwrite"), QString::number(f.opts.OptOverwrite));
    WriteSetting(f, QStringLiteral("optShowPutiPhone"), QString::number(f.opts.OptShowPutiPhone));
    const QString chosen = f.comboLanguage->currentText();
    WriteSetting(f, QStringLiteral("Language"), chosen);
    const QString previous = f.lang.CurrentLanguage;
    f.lang.CurrentLanguage = chosen;
    if (chosen != previous) {
        LoadQtTranslation(chosen);
        ApplyWindowTexts(f);
    }
    f.tabMain->setCurrentIndex(1);
}

void SaveWindowState(Form1& f)
{
    WriteSetting(f, QStringLiteral("Top"), QString::number(ToTwips(f.y())));
    WriteSetting(f, QStringLiteral("left"), QString::number(ToTwips(f.x())));
    WriteSetting(f, QStringLiteral("Destination"), f.txtDestination->text());
}

QString GetSystemFolder(Form1& f)
{
    return f.platform.system->systemFolder().left(255);
}
