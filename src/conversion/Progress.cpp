#include "Progress.h"

#include "Batch.h"
#include "MediaInfo.h"

#include <cmath>
#include <limits>

namespace {

const QString TimeMarker = QStringLiteral("kB time=");
const QString BitrateMarker = QStringLiteral(" bitrate=");

// Rounds to `decimals` places; a tie goes to the even digit.
double RoundTiesEven(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    return std::nearbyint(value * scale) / scale;
}

// Shortest decimal form, written with the user's decimal separator.
QString UserNumber(double value, QChar decimalSeparator)
{
    QString text = PlainNumber(value);
    text.replace(QLatin1Char('.'), decimalSeparator);
    return text;
}

// Whole seconds, rounded down and kept inside the range TimeText takes.
qint32 WholeSeconds(double seconds)
{
    const double down = std::floor(seconds);
    if (!(down >= std::numeric_limits<qint32>::min()))
        return std::numeric_limits<qint32>::min();
    if (down > std::numeric_limits<qint32>::max())
        return std::numeric_limits<qint32>::max();
    return static_cast<qint32>(down);
}

QString TwoDigits(qint32 n)
{
    return n < 10 ? QLatin1Char('0') + QString::number(n) : QString::number(n);
}

} // namespace

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

void Batch::HandleEncoderOutput(const QString& Outputs)
{
    ProgressState& p = Progress;
    // Probe output, and output still arriving after a cancel, changes nothing.
    if (ConversionPhase != Phase::Conversion)
        return;
    if (!Outputs.contains(QLatin1String("kbits/s"))) {
        p.PendingOutput += Outputs;
        return;
    }
    const QString report = p.PendingOutput + Outputs;
    p.PendingOutput.clear();

    const std::optional<double> parsed = TimeToSeconds(ReportPositionText(report));
    // A garbled time is not worth a wrong display: wait for the next report.
    if (!parsed || !std::isfinite(*parsed))
        return;
    const double position = *parsed;
    const QChar separator = platform_.system->decimalSeparator();
    p.Position = position;
    p.PositionText = UserNumber(position, separator);

    const double duration = p.Maximum;
    // The probe found no duration: the bar stays busy, and there is nothing to divide by.
    if (!(duration > 0))
        return;

    ProgressDisplay shown;
    if (position > 0 && position < duration)
        shown.barValue = static_cast<float>(position);
    if (position != 0) {
        // Wall-clock seconds spent per second of video.
        const double speed = RoundTiesEven(p.ElapsedSeconds / position, 2);
        shown.remaining = TimeText(WholeSeconds(speed * (duration - position)));

        double percent = RoundTiesEven(position / duration * 100, 1);
        // The encoder's position often runs a little past the probed duration.
        if (percent > 100) {
            percent = 100;
            shown.barFull = true;
        }
        shown.percent = UserNumber(percent, separator) + QLatin1Char('%');
    }
    view_.ShowProgress(shown);
}

void Batch::TimerTick()
{
    ++Progress.ElapsedSeconds;
    Progress.ElapsedText = TimeText(Progress.ElapsedSeconds);
    view_.ShowElapsed(Progress.ElapsedText);
}

QString TimeText(qint32 seconds)
{
    if (seconds < 0)
        return QStringLiteral("00:00:00");
    const qint32 hours = seconds / 3600;
    const qint32 rest = seconds - 3600 * hours;
    const qint32 minutes = rest / 60;
    const qint32 secs = rest - 60 * minutes;
    if (hours > 24)
        return QStringLiteral(">24 hours");
    return TwoDigits(hours) + QLatin1Char(':') + TwoDigits(minutes) + QLatin1Char(':') + TwoDigits(secs);
}
