#pragma once

#include "platform/Platform.h"

class DesktopShell : public Shell
{
public:
    int openUrl(const QString& url, int showCommand) override;
    void startCommand(const QString& commandLine, WindowStyle style) override;
};
