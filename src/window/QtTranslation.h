#pragma once

#include <QString>

// Qt's own texts (message box buttons, file dialogs) in the window's language. English, and a language
// Qt has no translation for, leave Qt's English texts. False when no translation was loaded.
bool LoadQtTranslation(const QString& language);
// The Qt translation file's locale name for a window language ("fr", "pt_BR"); "" when there is none.
QString QtTranslationLocale(const QString& language);
