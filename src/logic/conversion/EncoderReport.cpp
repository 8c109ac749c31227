#include "EncoderReport.h"

#include "text/TextReading.h"

#include <QRegularExpression>
#include <cmath>
#include <utility>

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

EncodeFailure ReadEncodeFailure(const QString& encoderOutput)
{
    using Kind = EncodeFailure::Kind;
    static const std::pair<const char*, Kind> words[] = {{"source-short", Kind::SourceShort},
                                                         {"destination-full", Kind::DestinationFull},
                                                         {"destination-unwritable", Kind::DestinationUnwritable},
                                                         {"encoder-error", Kind::EncoderError},
                                                         {"encoder-missing", Kind::EncoderCouldNotStart},
                                                         {"cancelled", Kind::Stopped},
                                                         {"source-is-output", Kind::SourceIsOutput},
                                                         {"name-taken", Kind::NameTaken}};
    const QString marker = QString::fromLatin1(EncodeFailedMarker);
    EncodeFailure failure;
    // Progress reports end with a carriage return alone; they are no reason.
    const QStringList lines = encoderOutput.split(QRegularExpression(QStringLiteral("[\\r\\n]")), Qt::SkipEmptyParts);
    for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
        if (!line->startsWith(marker))
            continue;
        const QString rest = line->mid(marker.size());
        const QString word = rest.section(QLatin1Char(' '), 0, 0);
        failure.detail = rest.section(QLatin1Char(' '), 1).trimmed();
        for (const auto& [name, kind] : words) {
            if (word == QLatin1String(name))
                failure.kind = kind;
        }
        return failure;
    }
    for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
        if (!line->trimmed().isEmpty() && !line->contains(QLatin1String("kbits/s"))) {
            failure.detail = line->trimmed();
            break;
        }
    }
    return failure;
}

bool VideoCopied(const QString& encoderOutput)
{
    const QString marker = QString::fromLatin1(VideoCopiedMarker);
    return encoderOutput.startsWith(marker) || encoderOutput.contains(QLatin1Char('\n') + marker);
}
