#include "StartUp.h"

#include "Form1.h"
#include "localisation/WindowTexts.h"

#include <QDir>

// STUB: replaced by the real start-up.
bool StartUp(Form1& f)
{
    f.lang.CurrentLanguage = QStringLiteral("English");
    if (!LoadLanguageFile(f.lang, QDir(f.platform.system->programFolder()).filePath(QStringLiteral("Languages"))))
        return false;
    ApplyWindowTexts(f);
    f.opts.SiteBaseUrl = QStringLiteral(REELPOCKET_SITE_URL);
    return true;
}
void SaveOptions(Form1&) {}
void SaveWindowState(Form1&) {}
QString GetSystemFolder(Form1& f) { return f.platform.system->systemFolder(); }
