#pragma once

#include "Preferences.h"

#include <QString>

class Shell;
class SystemFacts;
struct Localisation;

// The language file loaded, or why not in the words the user is shown.
struct LanguageLoad
{
    bool loaded = false;
    QString message;
};

// What start-up decides before a front end shows anything.
struct StartUpResult
{
    Preferences preferences;
    // The operating system's system folder, read once; "" where there is none.
    QString systemFolder;
    // Not loaded: the program cannot start, and the user is told the message.
    LanguageLoad language;
};

// Start-up without a window: reads the preferences, chooses the language and loads the language file
// into `lang`, makes the program folder the working directory and registers the components where the
// system needs that. Writes nothing to the store.
StartUpResult StartUp(SettingsStore& store, SystemFacts& system, Shell& shell, Localisation& lang);

// The language the user chose, else the one detected from the system (which is not stored).
QString ChooseLanguage(const Preferences& preferences, SystemFacts& system);

// Makes `language` current and loads the program folder's language file. Without that file there are no
// translated texts at all, so the message that says so is in English.
LanguageLoad LoadLanguage(Localisation& lang, const QString& language, const QString& programFolder);

// The system folder, at most 255 characters long.
QString GetSystemFolder(SystemFacts& system);
