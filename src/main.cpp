#include "console/ConsoleBatch.h"
#include "desktop/ProgramArguments.h"
#include "desktop/Terminal.h"
#include "localisation/Language.h"
#include "window/DesktopPlatform.h"
#include "window/MainWindow.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QTimer>
#include <chrono>
#include <cstdio>

namespace {

bool windowReady = false;

// A request to end (log-out, `kill`) closes the window as the user would, so its place and destination
// are saved; a running batch is cancelled first. The request is handled by the event loop: while start-up
// shows its failure message it ends the program at once, with nothing saved.
void CloseOnTermination(MainWindow& form)
{
    auto* requests = new TerminationRequests(&form);
    QObject::connect(requests, &TerminationRequests::requested, &form, [&form] {
        if (windowReady) {
            // An open message box would keep its own event loop, and the program, running: it is
            // answered as its close button would.
            while (QWidget* modal = QApplication::activeModalWidget()) {
                if (!modal->close())
                    break;
            }
            form.CloseOnRequest();
        } else
            QCoreApplication::exit(1);
    });
}

} // namespace

namespace {
int PrintAndEnd(const ProgramArguments& arguments)
{
    std::fputs(arguments.output.toLocal8Bit().constData(), *arguments.exitCode == 0 ? stdout : stderr);
    return *arguments.exitCode;
}

// Runs `then` once the window has been painted for the first time, when the window manager has placed
// it: a message box it opens is then centred on the window where the user sees it.
class AfterFirstPaint : public QObject
{
public:
    AfterFirstPaint(QWidget& window, std::function<void()> then)
        : QObject(&window)
        , then_(std::move(then))
    {
        window.installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, this, then_);
        }
        return false;
    }

private:
    std::function<void()> then_;
};

// Benchmarks time the start with REELPOCKET_BENCH_QUIT_AFTER_SHOW=1: the program prints the wall clock
// of its first paint in microseconds and ends.
void ReportFirstPaintAndQuit()
{
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    std::printf("shown %lld\n",
                static_cast<long long>(std::chrono::duration_cast<std::chrono::microseconds>(now).count()));
    std::fflush(stdout);
    QCoreApplication::exit(0);
}

} // namespace

int main(int argc, char* argv[])
{
    // Help and version need no display.
    QStringList raw;
    for (int i = 0; i < argc; ++i)
        raw << QString::fromLocal8Bit(argv[i]);
    const ProgramArguments early = ReadProgramArguments(raw);
    if (early.exitCode)
        return PrintAndEnd(early);
    // A batch from the command line needs no display: no GUI application object is made.
    if (early.convert) {
        QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("Reelpocket"));
        return RunConsoleBatch(*early.convert, QDir::currentPath());
    }

    QApplication app(argc, argv);
    // Read again without the options Qt itself takes (-platform, -style, ...).
    const ProgramArguments arguments = ReadProgramArguments(QApplication::arguments());
    if (arguments.exitCode)
        return PrintAndEnd(arguments);
    // Relative file names are the shell's, not the program folder's that start-up changes to.
    const QString startFolder = QDir::currentPath();
    QApplication::setApplicationName(QStringLiteral("Reelpocket"));
    QApplication::setDesktopFileName(QStringLiteral(REELPOCKET_APP_ID));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/256x256/reelpocket.png")));
    QApplication::setQuitOnLastWindowClosed(false);

    MainWindow* window = nullptr;
    Platform platform = makeDesktopPlatform([&window]() -> QWidget* { return window; });
    Localisation lang;
    MainWindow form(platform, lang, ProductSiteUrl());
    window = &form;
    CloseOnTermination(form);
    if (!form.StartUp())
        return 1;
    QObject::connect(&form, &MainWindow::unloaded, &app, &QApplication::quit);
    if (qEnvironmentVariableIsSet("REELPOCKET_BENCH_QUIT_AFTER_SHOW"))
        new AfterFirstPaint(form, ReportFirstPaintAndQuit);
    else if (!arguments.files.isEmpty())
        new AfterFirstPaint(form,
                            [&form, &arguments, startFolder] { form.AddArgumentFiles(arguments.files, startFolder); });
    form.show();
    windowReady = true;
    return QApplication::exec();
}
