#pragma once

#include <QChar>
#include <QString>
#include <optional>

// What changes on screen after an encoder report, in the order the window applies it.
struct ProgressDisplay
{
    std::optional<double> barValue; // seconds
    std::optional<QString> remaining;
    bool barFull = false; // the position ran past the duration
    std::optional<QString> percent; // "25%", "12.2%"
};

// The display for an encoder position, `elapsedSeconds` into the job: the bar inside the duration, and
// for a position past 0 the remaining time and the percentage. nullopt when the duration is unknown (0):
// there is nothing to divide by, and the bar stays busy.
std::optional<ProgressDisplay> ProgressFor(double position, double duration, int elapsedSeconds,
                                           QChar decimalSeparator);

// A count of seconds as hh:mm:ss; ">24 hours" from 25 hours on; "00:00:00" for a negative count.
QString TimeText(qint32 seconds);
