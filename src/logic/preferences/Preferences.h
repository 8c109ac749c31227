#pragma once

#include "conversion/OutputFormat.h"

#include <QString>
#include <optional>

class SettingsStore;
class SystemFacts;

// The check-box options the program remembers: each one's settings key, which is also its member's name,
// and the value that anything but a stored "0" or "1" reads as. Adding an option is one line here.
#define REELPOCKET_OPTIONS(OPTION)                                                                                     \
    OPTION(optOverwrite, true)                                                                                         \
    OPTION(optShowPutiPhone, true)                                                                                     \
    OPTION(optFullHD, false)                                                                                           \
    OPTION(opt4K, false)

// Where the main window stood when it last closed, in twips.
struct WindowPosition
{
    int top = 0;
    int left = 0;
};

// What the program remembers between runs, read and written only through the functions below, so every
// front end reaches the same decisions from the same store.
struct Preferences
{
#define REELPOCKET_OPTION_MEMBER(key, fallback) bool key = fallback;
    REELPOCKET_OPTIONS(REELPOCKET_OPTION_MEMBER)
#undef REELPOCKET_OPTION_MEMBER

    // The folder the outputs go to, as the user typed or picked it (a plain prefix of the output names).
    QString destination;
    // The language the user chose; empty while none was chosen (the system's language is used then).
    QString language;
    // Absent when none was stored, or when the stored one is not a pair of whole numbers.
    std::optional<WindowPosition> windowPosition;
    // Where the open dialog starts. Kept for the run only: the store has no key for it.
    QString lastSourceFolder;
};

// Reads the store. A stored destination counts only together with a stored window position (a first
// start, or a store without one, gets the system's default destination); values are taken exactly as
// stored, commas and all. Writes nothing.
Preferences ReadPreferences(SettingsStore& store, SystemFacts& system);

// The output the saved options choose. Earlier versions knew only optFullHD; 4K wins when both are set.
OutputFormat SavedOutputFormat(const Preferences& preferences);

// Writes every option and the language, all at once.
void SaveOptions(SettingsStore& store, const Preferences& preferences);

// Writes the window position (when there is one) and the destination.
void SaveWindowState(SettingsStore& store, const Preferences& preferences);

// Makes the destination folder when it is the first-start default and missing. Only our own default is
// ever created; any other missing folder is the user's mistake to hear about.
void CreateDefaultDestination(SystemFacts& system, const QString& destination);
