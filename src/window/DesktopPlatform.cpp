#include "DesktopPlatform.h"
#include "DesktopDialogs.h"
#include "desktop/DesktopSystem.h"
#include "desktop/IniSettingsStore.h"
#include "desktop/ProcessRunner.h"
#include "window/DesktopNotifier.h"
#include "window/DesktopShell.h"
#include "window/SocketTcpClient.h"

#include <QUrl>

Platform makeDesktopPlatform(std::function<QWidget*()> owner)
{
    Platform p;
    p.messages = std::make_unique<DesktopMessageBoxes>(owner);
    p.dialogs = std::make_unique<DesktopFileDialogs>(owner);
    p.shell = std::make_unique<DesktopShell>();
    p.settings = std::make_unique<IniSettingsStore>();
    p.system = std::make_unique<DesktopSystem>();
    Shell* shell = p.shell.get();
    p.notifier = std::make_unique<DesktopNotifier>(QDBusConnection::sessionBus(), [shell](const QString& folder) {
        shell->openUrl(QUrl::fromLocalFile(folder).toString(), 1);
    });
    const QString folder = p.system->programFolder();
    p.createRunner = [folder] {
        return std::make_unique<ProcessRunner>(folder);
    };
    p.createTcpClient = [folder] {
        return std::make_unique<SocketTcpClient>(folder);
    };
    return p;
}
