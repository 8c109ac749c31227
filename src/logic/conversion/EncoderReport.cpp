#include "EncoderReport.h"

#include "text/TextReading.h"

#include <cmath>

namespace {
const QString TimeMarker = QStringLiteral("kB time=");
const QString BitrateMarker = QStringLiteral(" bitrate=");
} // namespace

std::optional<double> EncoderReport::TakePiece(const QString& piece)
{
    if (!piece.contains(QLatin1String("kbits/s"))) {
        pendingOutput_ += piece;
        return std::nullopt;
    }
    const QString report = pendingOutput_ + piece;
    pendingOutput_.clear();
    const std::optional<double> position = TimeToSeconds(ReportPositionText(report));
    // A garbled time is not worth a wrong display: the next report will do.
    if (!position || !std::isfinite(*position))
        return std::nullopt;
    return position;
}

QString ReportPositionText(const QString& reportText)
{
    qsizetype from = 0;
    while (true) {
        const qsizetype start = reportText.indexOf(TimeMarker, from);
        if (start < 0)
            return QStringLiteral("0");
        const qsizetype value = start + TimeMarker.size();
        qsizetype lineEnd = reportText.indexOf(QLatin1Char('\n'), value);
        if (lineEnd < 0)
            lineEnd = reportText.size();
        const qsizetype end = reportText.indexOf(BitrateMarker, value);
        if (end >= 0 && end + BitrateMarker.size() <= lineEnd)
            return reportText.mid(value, end - value);
        // A later start on this line would find no end marker either.
        from = lineEnd;
    }
}

bool EncodeSucceeded(bool encoderSucceeded, bool outputExists)
{
    return encoderSucceeded && outputExists;
}

QStringList SubtitlesLeftOut(const QString& encoderOutput)
{
    const QString marker = QString::fromLatin1(SubtitlesLeftOutMarker);
    QStringList files;
    for (qsizetype start = 0; start < encoderOutput.size();) {
        qsizetype end = encoderOutput.indexOf(QLatin1Char('\n'), start);
        // A line still open when the output ended was cut short: its path may be too.
        if (end < 0)
            break;
        const QStringView line = QStringView(encoderOutput).mid(start, end - start);
        if (line.startsWith(marker) && line.size() > marker.size())
            files << line.mid(marker.size()).toString();
        start = end + 1;
    }
    return files;
}

bool VideoCopied(const QString& encoderOutput)
{
    const QString marker = QString::fromLatin1(VideoCopiedMarker);
    return encoderOutput.startsWith(marker) || encoderOutput.contains(QLatin1Char('\n') + marker);
}

bool OutputTakenMeanwhile(const QString& encoderOutput)
{
    const QString marker = QString::fromLatin1(OutputTakenMarker);
    return encoderOutput.startsWith(marker) || encoderOutput.contains(QLatin1Char('\n') + marker);
}
