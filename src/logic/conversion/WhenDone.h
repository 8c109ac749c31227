#pragma once

#include "BatchSummary.h"
#include "localisation/Language.h"
#include "platform/Power.h"

#include <QString>
#include <QStringList>
#include <optional>

// What follows a batch, chosen for one run and never saved.
enum class WhenDone { Nothing, Quit, Suspend, PowerOff };

// The seconds a countdown gives the user to stop the action.
constexpr int WhenDoneCountdownSeconds = 60;

// The choices as the command line names them ("quit", "suspend", "poweroff"); nullopt for any other name.
std::optional<WhenDone> WhenDoneNamed(const QString& name);
// The keys of the Convert tab's choices, in the order it lists them (the order of the enum).
QStringList WhenDoneChoiceKeys();
// Only a batch that reached its end is followed by the action, also when some of its files failed: never
// one that was cancelled or refused.
bool WhenDoneDue(WhenDone action, const BatchSummary& summary);
// The countdown's text with the seconds left.
QString WhenDoneCountdownText(const Localisation& lang, WhenDone action, int secondsLeft);
// Starts suspend or power off: nullopt once started (or for an action that needs no system), else what
// the user is told.
std::optional<QString> PerformWhenDone(const Localisation& lang, WhenDone action, Power* power);
// Who keeps the machine awake and why, as the system shows it: the program and the batch.
QString SleepLockWho(const Localisation& lang);
QString SleepLockWhy(const Localisation& lang, int sources, const QString& destination);
