#include "ProgressDisplay.h"

#include "text/TextReading.h"

#include <cmath>
#include <limits>

namespace {

// Rounds to `decimals` places; a tie goes to the even digit.
double RoundTiesEven(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    return std::nearbyint(value * scale) / scale;
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

std::optional<ProgressDisplay> ProgressFor(double position, double duration, int elapsedSeconds, QChar decimalSeparator)
{
    if (!(duration > 0))
        return std::nullopt;
    ProgressDisplay shown;
    if (position > 0 && position < duration)
        shown.barValue = static_cast<float>(position);
    if (position != 0) {
        // Wall-clock seconds spent per second of video.
        const double speed = RoundTiesEven(elapsedSeconds / position, 2);
        shown.remaining = TimeText(WholeSeconds(speed * (duration - position)));

        double percent = RoundTiesEven(position / duration * 100, 1);
        // The encoder's position often runs a little past the probed duration.
        if (percent > 100) {
            percent = 100;
            shown.barFull = true;
        }
        shown.percent = UserNumber(percent, decimalSeparator) + QLatin1Char('%');
    }
    return shown;
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
