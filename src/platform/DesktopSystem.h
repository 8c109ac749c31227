#pragma once

#include "Platform.h"

#include <QLocale>

class DesktopSystem : public SystemFacts
{
public:
    QString programFolder() override;
    void changeWorkingDirectory(const QString& folder) override;
    QString systemLanguageName() override;
    QString systemFolder() override;
    QChar decimalSeparator() override;
    bool componentsNeedRegistration() override;
    std::optional<int> registerLibrary(const QString& path) override;
    void pause(int milliseconds) override;
};

// The display name of a locale's language in the form the language detection searches:
// "Français (France)", "Español (España)", "Dutch", "Russian", "Polski", "Português (Brasil)",
// "Romanian", "Italiano", and the English name for every other language.
QString LanguageDisplayName(const QLocale& locale);
