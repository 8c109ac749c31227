#pragma once

#include <QProgressBar>
#include <limits>

// The bar shows seconds; the widget holds integers, so it works in thousandths. A maximum of 0 shows
// the bar busy: the duration is unknown.
constexpr int BarStepsPerSecond = 1000;

// A corrupt source can claim an absurd duration: the steps stay inside what the widget holds.
inline int BarSteps(double seconds)
{
    const double steps = static_cast<double>(static_cast<float>(seconds)) * BarStepsPerSecond;
    if (!(steps > 0))
        return 0;
    return steps >= std::numeric_limits<int>::max() ? std::numeric_limits<int>::max() : qRound(steps);
}

inline void SetBarMax(QProgressBar* bar, double seconds)
{
    bar->setRange(0, BarSteps(seconds));
}
inline double BarMax(const QProgressBar* bar)
{
    return static_cast<double>(bar->maximum()) / BarStepsPerSecond;
}
inline void SetBarValue(QProgressBar* bar, double seconds)
{
    bar->setValue(BarSteps(seconds));
}
inline double BarValue(const QProgressBar* bar)
{
    return static_cast<double>(bar->value()) / BarStepsPerSecond;
}
