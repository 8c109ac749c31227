#include "EncoderBridge.h"

#include "TestPaths.h"
#include "platform/CommandLine.h"
#include "text/TextReading.h"

#include <QProcess>

namespace bridge {

QString Path()
{
    return programFolder() + QStringLiteral("/ffmpeg.exe");
}

Result Run(const QStringList& args, const QString& workingDirectory, const QProcessEnvironment& environment)
{
    Result result;
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setProcessEnvironment(environment);
    if (!workingDirectory.isEmpty())
        process.setWorkingDirectory(workingDirectory);
    process.start(Path(), args);
    result.finished = process.waitForFinished(120000);
    if (!result.finished) {
        process.kill();
        process.waitForFinished();
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.output = QString::fromUtf8(process.readAll());
    return result;
}

QStringList EncodeArguments(const QString& input, const QString& output, int width, int height, bool capRate)
{
    QStringList args {"-y", "-i", input};
    if (capRate)
        args += QStringList {"-r", "30"};
    args += QStringList {
        "-f",     "mp4", "-vcodec", "libx264", "-crf", "21",  "-subq",       "4",
        "-level", "30",  "-refs",   "2",       "-me",  "hex", "-partitions", "+parti4x4+partp4x4+partp8x8+partb8x8",
        "-s"};
    args << QString::number(width) + QLatin1Char('x') + QString::number(height);
    args += QStringList {"-bufsize", "4M",      "-maxrate", "1.5M", "-g", "250", "-coder", "0",   "-threads",
                         "auto",     "-acodec", "libfaac",  "-ac",  "2",  "-ab", "128k",   output};
    return args;
}

QStringList ArgumentsOf(const QString& commandLine)
{
    return SplitCommandLine(commandLine).mid(1);
}

QList<double> ReportedPositions(const QString& output)
{
    // A report line ends at a line feed or at the carriage return that separates reports.
    QList<double> positions;
    QString lines = output;
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    for (const QString& line : lines.split(QLatin1Char('\n'))) {
        if (!line.contains(QLatin1String("kbits/s")))
            continue;
        const QString time = ExtractBetween(line, QStringLiteral("kB time="), QStringLiteral(" bitrate="));
        if (const auto seconds = TimeToSeconds(time))
            positions << *seconds;
    }
    return positions;
}

} // namespace bridge
