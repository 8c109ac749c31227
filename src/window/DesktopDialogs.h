#pragma once

#include "platform/Platform.h"

#include <functional>

class DesktopMessageBoxes : public MessageBoxes
{
public:
    explicit DesktopMessageBoxes(std::function<QWidget*()> owner);
    void showOk(const QString& text) override;
    bool askYesNo(const QString& text) override;

private:
    std::function<QWidget*()> owner_;
};

class DesktopFileDialogs : public FileDialogs
{
public:
    explicit DesktopFileDialogs(std::function<QWidget*()> owner);
    QStringList openSources(const QString& folder) override;
    std::optional<QString> chooseFolder(const QString& initial) override;

private:
    std::function<QWidget*()> owner_;
};
