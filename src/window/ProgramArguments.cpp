#include "ProgramArguments.h"

#include "Form1.h"
#include "SourceList.h"
#include "update/VersionCheck.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

ProgramArguments ReadProgramArguments(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Converts a batch of video files into MP4 files that play on an iPhone."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Shows this help and ends."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Shows the version and ends."));
    parser.addOption(help);
    parser.addOption(version);
    parser.addPositionalArgument(QStringLiteral("files"), QStringLiteral("Videos to put in the list."),
                                 QStringLiteral("[FILE...]"));

    ProgramArguments result;
    if (!parser.parse(arguments)) {
        result.exitCode = 2;
        result.output = parser.errorText() + QStringLiteral("\n\n") + parser.helpText();
    } else if (parser.isSet(help)) {
        result.exitCode = 0;
        result.output = parser.helpText();
    } else if (parser.isSet(version)) {
        result.exitCode = 0;
        result.output = QStringLiteral("Reelpocket %1\n").arg(ProgramVersion);
    } else {
        result.files = parser.positionalArguments();
    }
    return result;
}

void AddArgumentFiles(Form1& f, const QStringList& files, const QString& startFolder)
{
    QStringList found;
    QStringList missing;
    for (const QString& file : files) {
        const QString path = QDir::toNativeSeparators(QDir::cleanPath(QDir(startFolder).absoluteFilePath(file)));
        (QFileInfo::exists(path) ? found : missing) << path;
    }
    if (!found.isEmpty())
        AddSourcePaths(f, found);
    if (!missing.isEmpty())
        f.platform.messages->showOk(missing.join(QLatin1Char('\n')) + QStringLiteral(":\n")
                                    + T(f, QStringLiteral("error_filesnotfound")));
}
