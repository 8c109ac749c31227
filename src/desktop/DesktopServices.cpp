#include "DesktopServices.h"

#include "DesktopSystem.h"
#include "IniSettingsStore.h"
#include "ProcessRunner.h"
#include "SystemPower.h"
#include "conversion/Batch.h"
#include "conversion/WhenDone.h"

Platform DesktopServices()
{
    Platform p;
    p.settings = std::make_unique<IniSettingsStore>();
    p.system = std::make_unique<DesktopSystem>();
    p.power = DesktopPower();
    const QString folder = p.system->programFolder();
    p.createRunner = [folder] {
        return std::make_unique<ProcessRunner>(folder);
    };
    return p;
}

BatchOptions ChooseBatchOptions(const Preferences& saved, const BatchChoices& choices)
{
    BatchOptions options;
    options.askBeforeOverwrite = saved.optOverwrite;
    options.burnInSubtitles = choices.burnInSubtitles;
    options.showHowToPage = choices.showHowToPage;
    options.format = choices.format.value_or(SavedOutputFormat(saved));
    return options;
}

int CountdownSeconds()
{
    bool ok = false;
    const int seconds = qEnvironmentVariableIntValue("REELPOCKET_COUNTDOWN_SECONDS", &ok);
    return ok && seconds >= 0 ? seconds : WhenDoneCountdownSeconds;
}

void StartBatch(Batch& batch, SystemFacts& system, const QStringList& sources, const QString& destination,
                const BatchOptions& options)
{
    CreateDefaultDestination(system, destination);
    batch.StartConversion(sources, destination, options);
}
