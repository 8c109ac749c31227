#include "Registration.h"

#include "window/Form1.h"

#include <QDir>

bool RegisterTimerLite(Form1& f)
{
    const QString library = QDir(f.platform.system->programFolder()).filePath(QStringLiteral("TimerLite.dll"));
    const std::optional<int> result = f.platform.system->registerLibrary(library);
    // The language table is not loaded yet at this point of start-up, so there is no text to show;
    // the failure is only reported through the result.
    return result && *result == 0;
}
