#pragma once

#include <QProgressBar>
#include <limits>

// The bar's maximum and value are single-precision seconds; the widget holds integers, so it works
// in thousandths. A maximum of 0 shows the bar busy: the duration is unknown.
constexpr int BarStepsPerSecond = 1000;

// A corrupt source can claim an absurd duration: the steps stay inside what the widget holds.
inline int BarSteps(float seconds)
{
    const double steps = static_cast<double>(seconds) * BarStepsPerSecond;
    if (!(steps > 0))
        return 0;
    return steps >= std::numeric_limits<int>::max() ? std::numeric_limits<int>::max() : qRound(steps);
}

inline void SetBarMax(QProgressBar* bar, float seconds)
{
    bar->setProperty("maxSeconds", seconds);
    bar->setRange(0, BarSteps(seconds));
}
inline float BarMax(const QProgressBar* bar)
{
    return bar->property("maxSeconds").toFloat();
}
inline void SetBarValue(QProgressBar* bar, float seconds)
{
    bar->setProperty("valueSeconds", seconds);
    bar->setValue(BarSteps(seconds));
}
inline float BarValue(const QProgressBar* bar)
{
    return bar->property("valueSeconds").toFloat();
}
