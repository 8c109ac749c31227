#pragma once

#include "Platform.h"


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
    void pause(int milliseconds, std::function<void()> then) override;
};
