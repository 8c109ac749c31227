#include "ConsoleBatch.h"

#include "ConsoleMessages.h"
#include "ConsoleView.h"
#include "conversion/Batch.h"
#include "conversion/Paths.h"
#include "conversion/WhenDone.h"
#include "desktop/DesktopServices.h"
#include "desktop/ProcessRunner.h"
#include "desktop/ProgramArguments.h"
#include "desktop/Terminal.h"
#include "localisation/Language.h"
#include "platform/CommandLine.h"
#include "preferences/StartUp.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>
#include <cstdio>

namespace {

void PrintError(const QString& text)
{
    std::fputs((text + QLatin1Char('\n')).toLocal8Bit().constData(), stderr);
}

// A run from the command line opens no page. It starts commands only where the system needs its
// components registered.
class ConsoleShell : public Shell
{
public:
    int openUrl(const QString&, int) override { return 0; }
    void startCommand(const QString& commandLine, WindowStyle) override
    {
        QStringList arguments = SplitCommandLine(commandLine);
        if (!arguments.isEmpty())
            QProcess::startDetached(arguments.takeFirst(), arguments);
    }
};

// The language as the Options tab names it, matched without regard to letter case.
std::optional<QString> KnownLanguage(const QString& name)
{
    for (const QString& language : ComboLanguages()) {
        if (language.compare(name.trimmed(), Qt::CaseInsensitive) == 0)
            return language;
    }
    return std::nullopt;
}

// The line, then the countdown's seconds; a termination request (Ctrl+C) stops it. True when it ran out.
bool CountDown(const Localisation& lang, WhenDone action, int seconds, TerminationRequests& requests)
{
    PrintError(WhenDoneCountdownText(lang, action, seconds) + QLatin1Char(' ')
               + Translate(lang, QStringLiteral("console_ctrlcstops")));
    QEventLoop loop;
    bool stopped = false;
    QObject::connect(&requests, &TerminationRequests::requested, &loop, [&] {
        stopped = true;
        loop.quit();
    });
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    if (stopped)
        PrintError(Translate(lang, QStringLiteral("whenDone_stopped")));
    return !stopped;
}

} // namespace

int RunConsoleBatch(const ConvertArguments& arguments, const QString& startFolder)
{
    if (arguments.files.isEmpty()) {
        PrintError(QStringLiteral("reelpocket --convert: no files given. See reelpocket --help."));
        return ConvertExit::NothingEncoded;
    }
    std::optional<QString> language;
    if (arguments.language) {
        language = KnownLanguage(*arguments.language);
        if (!language) {
            PrintError(QStringLiteral("reelpocket --convert: unknown language \"%1\". Known: %2.")
                           .arg(*arguments.language, ComboLanguages().join(QStringLiteral(", "))));
            return ConvertExit::NothingEncoded;
        }
    }

    Localisation lang;
    const bool terminal = Terminal::InputIsTerminal();
    auto* messages = new ConsoleMessages(lang, arguments.answers, terminal);
    Platform platform = DesktopServices();
    platform.messages.reset(messages);
    platform.shell = std::make_unique<ConsoleShell>();

    const StartUpResult start = StartUp(*platform.settings, *platform.system, *platform.shell, lang);
    if (!start.language.loaded) {
        PrintError(start.language.message);
        return ConvertExit::NothingEncoded;
    }
    if (language)
        lang.CurrentLanguage = *language;

    QStringList sources;
    for (const QString& file : arguments.files)
        sources << ArgumentPath(file, startFolder);
    QString destination
        = arguments.destination ? ArgumentPath(*arguments.destination, startFolder) : start.preferences.destination;
    if (!destination.isEmpty() && !destination.endsWith(Separator()))
        destination += Separator();
    BatchOptions options
        = ChooseBatchOptions(start.preferences, {arguments.subtitles.value_or(false), false, arguments.format});
    options.skipExisting = arguments.skipExisting;

    const ProgressStyle style = arguments.quiet ? ProgressStyle::Quiet
        : Terminal::OutputIsTerminal()          ? ProgressStyle::Terminal
                                                : ProgressStyle::Lines;
    ConsoleView view(lang, style, platform.system->decimalSeparator());
    messages->beforeMessage = [&view] {
        view.EndLine();
    };
    Batch batch(platform, lang, view);

    bool interrupted = false;
    QEventLoop loop;
    TerminationRequests requests;
    const QMetaObject::Connection cancelOnRequest
        = QObject::connect(&requests, &TerminationRequests::requested, &loop, [&] {
              // A second request finds the encoder already told to stop; it ends within the grace period.
              if (interrupted)
                  return;
              interrupted = true;
              if (batch.IsRunning())
                  batch.ConfirmCancel();
              else
                  loop.quit();
          });

    // Ctrl+Z holds the encoder with the program, and fg lets both go on.
    StopRequests stops;
    QObject::connect(&stops, &StopRequests::requested, &loop, [&] {
        view.EndLine();
        const bool hold = batch.IsRunning() && !batch.IsPaused();
        if (hold)
            batch.Pause();
        StopRequests::StopProgram();
        if (hold)
            batch.Resume();
    });

    view.onEnd = [&loop] {
        loop.quit();
    };
    StartBatch(batch, *platform.system, sources, destination, options);
    if (batch.IsRunning() && !batch.KeepsAwake()) {
        view.EndLine();
        PrintError(Translate(lang, QStringLiteral("console_maysleep")));
    }
    if (batch.IsRunning())
        loop.exec();
    view.EndLine();
    // A request that came while a question waited for its answer is still to be read.
    QCoreApplication::processEvents();
    // A stopped encoder removes its unfinished file before it ends; the program waits for that.
    WaitForStoppedProcesses();

    if (interrupted)
        return ConvertExit::Interrupted;
    const BatchSummary summary = batch.Summary();
    if (summary.ending != BatchSummary::Ending::Finished)
        return ConvertExit::NothingEncoded;
    const int status = summary.Failed().empty() ? ConvertExit::AllConverted : ConvertExit::SomeFailed;
    const WhenDone then = arguments.then;
    if ((then == WhenDone::Suspend || then == WhenDone::PowerOff) && WhenDoneDue(then, summary)) {
        // From here Ctrl+C stops the countdown, not the batch that has ended.
        QObject::disconnect(cancelOnRequest);
        if (CountDown(lang, then, CountdownSeconds(), requests)) {
            if (const auto refusal = PerformWhenDone(lang, then, platform.power.get()))
                PrintError(*refusal);
        }
    }
    return status;
}
