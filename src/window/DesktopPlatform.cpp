#include "DesktopPlatform.h"
#include "DesktopDialogs.h"
#include "desktop/DesktopServices.h"
#include "window/DesktopNotifier.h"
#include "window/DesktopShell.h"
#include "window/SocketTcpClient.h"

#include <QUrl>

Platform makeDesktopPlatform(std::function<QWidget*()> owner)
{
    Platform p = DesktopServices();
    p.messages = std::make_unique<DesktopMessageBoxes>(owner);
    p.dialogs = std::make_unique<DesktopFileDialogs>(owner);
    p.shell = std::make_unique<DesktopShell>();
    Shell* shell = p.shell.get();
    p.notifier = std::make_unique<DesktopNotifier>(QDBusConnection::sessionBus(), [shell](const QString& folder) {
        shell->openUrl(QUrl::fromLocalFile(folder).toString(), 1);
    });
    const QString folder = p.system->programFolder();
    p.createTcpClient = [folder] {
        return std::make_unique<SocketTcpClient>(folder);
    };
    return p;
}
