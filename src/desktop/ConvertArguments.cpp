#include "ConvertArguments.h"

#include <QCommandLineParser>

namespace {
QCommandLineOption Flag(const QString& name, const QString& description)
{
    return QCommandLineOption(name, description);
}

// The later of two opposite flags can not be told from the parser's view, so both at once is an error.
std::optional<QString> BothGiven(const QCommandLineParser& parser, const QString& on, const QString& off)
{
    if (parser.isSet(on) && parser.isSet(off))
        return QStringLiteral("--%1 and --%2 cannot be given together.").arg(on, off);
    return std::nullopt;
}

std::optional<bool> FlagValue(const QCommandLineParser& parser, const QString& on, const QString& off)
{
    if (parser.isSet(on))
        return true;
    if (parser.isSet(off))
        return false;
    return std::nullopt;
}
} // namespace

void AddConvertOptions(QCommandLineParser& parser)
{
    parser.addOption(Flag(QStringLiteral("convert"),
                          QStringLiteral("Converts the files without a window, then ends. Needs no display.")));
    parser.addOption(QCommandLineOption(QStringLiteral("to"),
                                        QStringLiteral("With --convert: the destination folder (default: the "
                                                       "saved one)."),
                                        QStringLiteral("FOLDER")));
    parser.addOption(Flag(QStringLiteral("subtitles"),
                          QStringLiteral("With --convert: burns in the .srt file found beside a video.")));
    parser.addOption(Flag(QStringLiteral("no-subtitles"), QStringLiteral("With --convert: no subtitles (default).")));
    parser.addOption(Flag(QStringLiteral("full-hd"),
                          QStringLiteral("With --convert: Full HD output for iPhone 5 and later (default: the "
                                         "saved option).")));
    parser.addOption(Flag(QStringLiteral("no-full-hd"), QStringLiteral("With --convert: the classic output.")));
    parser.addOption(Flag(QStringLiteral("4k"),
                          QStringLiteral("With --convert: 4K and HDR output for iPhone 8 and later: what plays "
                                         "is copied, the rest encoded in HEVC.")));
    parser.addOption(Flag(QStringLiteral("ask"),
                          QStringLiteral("With --convert: asks questions on the terminal (default when there is "
                                         "one; without a terminal every answer is No).")));
    parser.addOption(Flag(QStringLiteral("yes"), QStringLiteral("With --convert: answers every question Yes.")));
    parser.addOption(Flag(QStringLiteral("no"), QStringLiteral("With --convert: answers every question No.")));
    parser.addOption(QCommandLineOption(QStringLiteral("language"),
                                        QStringLiteral("With --convert: the language of the messages, as the "
                                                       "Options tab names it (default: the saved one)."),
                                        QStringLiteral("NAME")));
    parser.addOption(Flag(QStringLiteral("skip-existing"),
                          QStringLiteral("With --convert: leaves a video alone whose output exists already.")));
    parser.addOption(QCommandLineOption(QStringLiteral("then"),
                                        QStringLiteral("With --convert: after a batch that reached its end: quit "
                                                       "(default), suspend or poweroff, after a minute that Ctrl+C "
                                                       "stops."),
                                        QStringLiteral("ACTION")));
    parser.addOption(Flag(QStringLiteral("quiet"),
                          QStringLiteral("With --convert: prints only failures and the "
                                         "summary.")));
}

bool AnyConvertOption(const QCommandLineParser& parser)
{
    for (const char* name : {"to", "subtitles", "no-subtitles", "full-hd", "no-full-hd", "4k", "ask", "yes", "no",
                             "language", "quiet", "skip-existing", "then"}) {
        if (parser.isSet(QLatin1String(name)))
            return true;
    }
    return false;
}

ConvertOptionsRead ReadConvertOptions(const QCommandLineParser& parser)
{
    const QString subtitles = QStringLiteral("subtitles"), noSubtitles = QStringLiteral("no-subtitles");
    const QString fullHd = QStringLiteral("full-hd"), noFullHd = QStringLiteral("no-full-hd");
    const QString fourK = QStringLiteral("4k");
    for (const auto& error : {BothGiven(parser, subtitles, noSubtitles), BothGiven(parser, fullHd, noFullHd),
                              BothGiven(parser, fourK, fullHd), BothGiven(parser, fourK, noFullHd)}) {
        if (error)
            return {std::nullopt, *error};
    }
    const int answerOptions = int(parser.isSet(QStringLiteral("ask"))) + int(parser.isSet(QStringLiteral("yes")))
        + int(parser.isSet(QStringLiteral("no")));
    if (answerOptions > 1)
        return {std::nullopt, QStringLiteral("Only one of --ask, --yes and --no can be given.")};

    ConvertArguments arguments;
    arguments.subtitles = FlagValue(parser, subtitles, noSubtitles);
    if (parser.isSet(fourK))
        arguments.format = OutputFormat::FourK;
    else if (const std::optional<bool> full = FlagValue(parser, fullHd, noFullHd))
        arguments.format = *full ? OutputFormat::FullHd : OutputFormat::Classic;
    if (parser.isSet(QStringLiteral("yes")))
        arguments.answers = Answers::Yes;
    else if (parser.isSet(QStringLiteral("no")))
        arguments.answers = Answers::No;
    if (parser.isSet(QStringLiteral("to")))
        arguments.destination = parser.value(QStringLiteral("to"));
    if (parser.isSet(QStringLiteral("language")))
        arguments.language = parser.value(QStringLiteral("language"));
    arguments.quiet = parser.isSet(QStringLiteral("quiet"));
    arguments.skipExisting = parser.isSet(QStringLiteral("skip-existing"));
    if (parser.isSet(QStringLiteral("then"))) {
        const std::optional<WhenDone> then = WhenDoneNamed(parser.value(QStringLiteral("then")));
        if (!then || *then == WhenDone::Nothing)
            return {std::nullopt, QStringLiteral("--then takes quit, suspend or poweroff.")};
        arguments.then = *then;
    }
    arguments.files = parser.positionalArguments();
    return {arguments, QString()};
}
