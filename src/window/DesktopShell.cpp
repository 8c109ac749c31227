#include "DesktopShell.h"

#include "platform/CommandLine.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

int DesktopShell::openUrl(const QString& url, int)
{
    // Like the shell's own result: above 32 means the page was handed to a browser.
    return QDesktopServices::openUrl(QUrl(url)) ? 42 : 2;
}

void DesktopShell::startCommand(const QString& commandLine, WindowStyle)
{
    QStringList args = SplitCommandLine(commandLine);
    if (args.isEmpty())
        return;
    const QString program = args.takeFirst();
    QProcess::startDetached(program, args);
}
