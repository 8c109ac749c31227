// The batch row of the benchmark table: the real main window over the desktop platform, offscreen,
// converts the sources given on the command line into a folder, as a user pressing Convert would.
// Prints the milliseconds from the press to the finished look, then every command line the batch ran
// (probes first, then encodes), so the same commands can be run back to back without the window.
//
//     batch_driver DESTINATION/ SOURCE...
#include "conversion/Batch.h"
#include "conversion/EncoderCommand.h"
#include "desktop/ProcessRunner.h"
#include "localisation/Language.h"
#include "window/DesktopPlatform.h"
#include "window/MainWindow.h"
#include "window/Twips.h"

#include <QApplication>
#include <QCheckBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments().mid(1);
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: batch_driver DESTINATION/ SOURCE...\n");
        return 2;
    }
    const QString programFolder = QStringLiteral(REELPOCKET_PROGRAM_DIR);
    QDir::setCurrent(programFolder);

    MainWindow* window = nullptr;
    Platform platform = makeDesktopPlatform([&window]() -> QWidget* { return window; });
    // This driver lives outside the program folder; the encoder bridge is taken from there.
    platform.createRunner = [programFolder] {
        return std::make_unique<ProcessRunner>(programFolder);
    };
    Localisation lang;
    lang.CurrentLanguage = QStringLiteral("English");
    if (!LoadLanguageFile(lang, QDir(programFolder).filePath(QStringLiteral("Languages")))) {
        std::fprintf(stderr, "batch_driver: no Languages in %s\n", qUtf8Printable(programFolder));
        return 1;
    }
    MainWindow form(platform, lang, ProductSiteUrl());
    window = &form;
    form.ApplyWindowTexts();
    // The controls as a user finds them.
    auto* destination = form.findChild<QLineEdit*>(QStringLiteral("txtDestination"));
    auto* sources = form.findChild<QListWidget*>(QStringLiteral("lstSource"));
    auto* convert = form.findChild<QPushButton*>(QStringLiteral("cmdConvert"));
    auto* status = form.findChild<QGroupBox*>(QStringLiteral("lblStatus"));
    auto* batch = form.findChild<Batch*>();
    destination->setText(args.front());
    // Nothing may stop the batch for a question or open a page when it ends.
    SetCheckValue(form.findChild<QCheckBox*>(QStringLiteral("chkSubtitles")), 0);
    SetCheckValue(form.findChild<QCheckBox*>(QStringLiteral("chkShowPutiPhone")), 0);
    sources->addItems(args.mid(1));
    form.show();

    const QString finished = Translate(lang, QStringLiteral("cmdConvert_ed"));
    QElapsedTimer clock;
    QTimer::singleShot(0, [&] {
        clock.start();
        convert->click();
    });
    // The batch is idle again; the finished look says whether every source was converted.
    QTimer poll;
    poll.setInterval(2);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (clock.isValid() && !batch->IsRunning())
            QCoreApplication::exit(status->title() == finished ? 0 : 1);
    });
    poll.start();
    QTimer::singleShot(600000, [] { QCoreApplication::exit(1); });
    if (QApplication::exec() != 0) {
        std::fprintf(stderr, "batch_driver: the batch did not finish: %s\n", qUtf8Printable(status->title()));
        return 1;
    }
    std::printf("batch_ms %lld\n", static_cast<long long>(clock.elapsed()));
    for (const QString& source : args.mid(1))
        std::printf("%s\n", qUtf8Printable(ProbeCommand(source)));
    for (const Job& job : batch->Jobs())
        std::printf("%s\n", qUtf8Printable(job.commandLine));
    return 0;
}
