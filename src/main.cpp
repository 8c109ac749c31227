#include "platform/Platform.h"
#include "window/Form1.h"
#include "window/StartUp.h"

#include <QApplication>
#include <csignal>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Reelpocket"));
    QApplication::setQuitOnLastWindowClosed(false);

    Form1* window = nullptr;
    Platform platform = makeDesktopPlatform([&window]() -> QWidget* { return window; });
    Form1 form(platform);
    window = &form;
    if (!StartUp(form))
        return 1;
    QObject::connect(&form, &Form1::unloaded, &app, &QApplication::quit);
    form.show();
    return QApplication::exec();
}
