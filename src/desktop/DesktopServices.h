#pragma once

#include "conversion/BatchOptions.h"
#include "platform/Platform.h"
#include "preferences/Preferences.h"

#include <QStringList>
#include <optional>

class Batch;

// The services both front ends take from this desktop: the settings file, the system's facts, the sleep locks and a
// fresh process runner per command line. Each front end adds its messages and shell; the window its dialogs, notifier
// and TCP client.
Platform DesktopServices();

// What the user chose for one batch. What it leaves open, the saved preferences decide.
struct BatchChoices
{
    bool burnInSubtitles = false;
    bool showHowToPage = false;
    std::optional<OutputFormat> format;
};
BatchOptions ChooseBatchOptions(const Preferences& saved, const BatchChoices& choices);

// The seconds the countdown before a "when done" action lasts: REELPOCKET_COUNTDOWN_SECONDS where the
// environment sets it (tests shorten it), else a minute.
int CountdownSeconds();

// Starts the batch, making the default destination first when it is the one chosen and does not exist.
void StartBatch(Batch& batch, SystemFacts& system, const QStringList& sources, const QString& destination,
                const BatchOptions& options);
