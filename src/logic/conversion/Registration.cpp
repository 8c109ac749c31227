#include "Registration.h"

#include "platform/Platform.h"

#include <QDir>

bool RegisterTimerLite(SystemFacts& system)
{
    const QString library = QDir(system.programFolder()).filePath(QStringLiteral("TimerLite.dll"));
    const std::optional<int> result = system.registerLibrary(library);
    // The language table is not loaded yet at this point of start-up, so there is no text to show;
    // the failure is only reported through the result.
    return result && *result == 0;
}
