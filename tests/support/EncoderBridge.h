#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// Runs the program folder's encoder bridge the way the program does: arguments as the runner splits the
// fixed command lines, standard output and error merged.
namespace bridge {

QString Path();

struct Result
{
    bool finished = false; // ended on its own before the time-out
    int exitCode = -1;
    QString output;
};

Result Run(const QStringList& args, const QString& workingDirectory = QString(),
           const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());

// The encoder command line's arguments for an output size, with or without the frame-rate cap.
QStringList EncodeArguments(const QString& input, const QString& output, int width, int height, bool capRate = false);

// The arguments of one of the program's command lines, split as the runner splits it.
QStringList ArgumentsOf(const QString& commandLine);

// The progress reports in an output: the position of each "kB time=... bitrate=" report, in order.
QList<double> ReportedPositions(const QString& output);

} // namespace bridge
