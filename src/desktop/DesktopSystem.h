#pragma once

#include "platform/Platform.h"

class DesktopSystem : public SystemFacts
{
public:
    // `programFolder` empty: the folder of the running executable.
    explicit DesktopSystem(QString programFolder = {});
    QString programFolder() override;
    QString workingFolder() override;
    QString defaultDestination() override;
    std::optional<qint64> freeBytes(const QString& folder) override;
    void changeWorkingDirectory(const QString& folder) override;
    QString systemLanguageName() override;
    QString systemFolder() override;
    QChar decimalSeparator() override;
    bool componentsNeedRegistration() override;
    std::optional<int> registerLibrary(const QString& path) override;
    void pause(int milliseconds, std::function<void()> then) override;

private:
    bool programFolderWritable();
    QString programFolder_;
    std::optional<bool> writable_;
};

// Whether a file can be created in the folder (permissions and read-only file systems alike).
bool FolderIsWritable(const QString& folder);
