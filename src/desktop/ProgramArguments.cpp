#include "ProgramArguments.h"

#include "update/VersionCheck.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

namespace {
// The options Qt's application object takes for itself (-platform offscreen, -style fusion, ...).
bool OnlyQtOptions(const QStringList& names)
{
    static const QStringList qt {QStringLiteral("platform"),      QStringLiteral("platformpluginpath"),
                                 QStringLiteral("platformtheme"), QStringLiteral("plugin"),
                                 QStringLiteral("qmljsdebugger"), QStringLiteral("qwindowgeometry"),
                                 QStringLiteral("qwindowicon"),   QStringLiteral("qwindowtitle"),
                                 QStringLiteral("reverse"),       QStringLiteral("session"),
                                 QStringLiteral("display"),       QStringLiteral("geometry"),
                                 QStringLiteral("style"),         QStringLiteral("stylesheet"),
                                 QStringLiteral("widgetcount"),   QStringLiteral("name"),
                                 QStringLiteral("title"),         QStringLiteral("visual"),
                                 QStringLiteral("sync"),          QStringLiteral("fn"),
                                 QStringLiteral("font")};
    for (const QString& name : names) {
        if (!qt.contains(name))
            return false;
    }
    return true;
}

// Read before there is an application object, which is where Qt takes the program's name from.
QString HelpText(const QCommandLineParser& parser)
{
    return parser.helpText().replace(QStringLiteral("<executable_name>"), QStringLiteral("reelpocket"));
}
} // namespace

ProgramArguments ReadProgramArguments(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Converts a batch of video files into MP4 files that play on an iPhone."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Shows this help and ends."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Shows the version and ends."));
    // "-platform offscreen" is one of Qt's options, not eight letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption(help);
    parser.addOption(version);
    AddConvertOptions(parser);
    parser.addPositionalArgument(QStringLiteral("files"),
                                 QStringLiteral("Videos to put in the list, or to convert with --convert."),
                                 QStringLiteral("[FILE...]"));

    ProgramArguments result;
    const bool parsed = parser.parse(arguments);
    const bool convert = parser.isSet(QStringLiteral("convert"));
    if (!parsed && (convert || !OnlyQtOptions(parser.unknownOptionNames()))) {
        result.exitCode = 2;
        result.output = parser.errorText() + QStringLiteral("\n\n") + HelpText(parser);
    } else if (parser.isSet(help)) {
        result.exitCode = 0;
        result.output = HelpText(parser);
    } else if (parser.isSet(version)) {
        result.exitCode = 0;
        result.output = QStringLiteral("Reelpocket %1\n").arg(ProgramVersion);
    } else if (convert) {
        const ConvertOptionsRead options = ReadConvertOptions(parser);
        if (!options.arguments) {
            result.exitCode = 2;
            result.output = options.error + QStringLiteral("\n");
        } else
            result.convert = options.arguments;
    } else if (AnyConvertOption(parser)) {
        result.exitCode = 2;
        result.output = QStringLiteral("These options need --convert.\n\n") + HelpText(parser);
    } else {
        result.files = parser.positionalArguments();
    }
    return result;
}

QString ArgumentPath(const QString& path, const QString& startFolder)
{
    return QDir::toNativeSeparators(QDir::cleanPath(QDir(startFolder).absoluteFilePath(path)));
}

ArgumentFiles FindArgumentFiles(const QStringList& files, const QString& startFolder)
{
    ArgumentFiles result;
    for (const QString& file : files) {
        const QString path = ArgumentPath(file, startFolder);
        (QFileInfo::exists(path) ? result.existing : result.missing) << path;
    }
    return result;
}
