#include "DesktopServices.h"

#include "DesktopSystem.h"
#include "IniSettingsStore.h"
#include "ProcessRunner.h"
#include "conversion/Batch.h"

Platform DesktopServices()
{
    Platform p;
    p.settings = std::make_unique<IniSettingsStore>();
    p.system = std::make_unique<DesktopSystem>();
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

void StartBatch(Batch& batch, SystemFacts& system, const QStringList& sources, const QString& destination,
                const BatchOptions& options)
{
    CreateDefaultDestination(system, destination);
    batch.StartConversion(sources, destination, options);
}
