#include "StartUp.h"

#include "conversion/Paths.h"
#include "conversion/Registration.h"
#include "localisation/Language.h"
#include "platform/Platform.h"

namespace {

// Windows keeps its desktop components registered system-wide; elsewhere they are part of the program.
void RegisterComponents(SystemFacts& system, Shell& shell, const QString& folder, const QString& systemFolder)
{
    if (!system.componentsNeedRegistration())
        return;
    const QString sep = Separator();
    shell.startCommand(folder + sep + QStringLiteral("ShellRpk.exe /regserver"), WindowStyle::NormalNoFocus);
    const QStringList controls
        = QStringLiteral("MSWINSCK.OCX,RICHTX32.OCX,tabctl32.ocx,comdlg32.ocx,comctl32.ocx").split(QLatin1Char(','));
    for (const QString& name : controls) {
        if (!FileExists(systemFolder + sep + name))
            shell.startCommand(QStringLiteral("regsvr32 /s \"") + folder + sep + name + QLatin1Char('"'),
                               WindowStyle::Hidden);
    }
}

} // namespace

StartUpResult StartUp(SettingsStore& store, SystemFacts& system, Shell& shell, Localisation& lang)
{
    StartUpResult result;
    result.preferences = ReadPreferences(store, system);
    const QString language = ChooseLanguage(result.preferences, system);

    const QString folder = system.programFolder();
    system.changeWorkingDirectory(folder);
    RegisterTimerLite(system);
    result.systemFolder = GetSystemFolder(system);
    RegisterComponents(system, shell, folder, result.systemFolder);

    result.language = LoadLanguage(lang, language, folder);
    return result;
}

QString ChooseLanguage(const Preferences& preferences, SystemFacts& system)
{
    if (!preferences.language.isEmpty())
        return preferences.language;
    return DetectSystemLanguage(system.systemLanguageName());
}

LanguageLoad LoadLanguage(Localisation& lang, const QString& language, const QString& programFolder)
{
    lang.CurrentLanguage = language;
    const QString file = programFolder + Separator() + QStringLiteral("Languages");
    if (!LoadLanguageFile(lang, file)) {
        return {false,
                file
                    + QStringLiteral(":\nThis language file is missing or cannot be read. Reelpocket cannot start "
                                     "without it.")};
    }
    return {true, QString()};
}

QString GetSystemFolder(SystemFacts& system)
{
    return system.systemFolder().left(255);
}
