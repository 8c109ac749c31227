#pragma once

#include <QProgressBar>

// The bar's maximum and value are single-precision seconds; the widget holds integers, so it works
// in thousandths. A maximum of 0 shows the bar busy: the duration is unknown.
constexpr int BarStepsPerSecond = 1000;

inline void SetBarMax(QProgressBar* bar, float seconds)
{
    bar->setProperty("maxSeconds", seconds);
    bar->setMaximum(qRound(static_cast<double>(seconds) * BarStepsPerSecond));
}
inline float BarMax(const QProgressBar* bar)
{
    return bar->property("maxSeconds").toFloat();
}
inline void SetBarValue(QProgressBar* bar, float seconds)
{
    bar->setProperty("valueSeconds", seconds);
    bar->setValue(qRound(static_cast<double>(seconds) * BarStepsPerSecond));
}
inline float BarValue(const QProgressBar* bar)
{
    return bar->property("valueSeconds").toFloat();
}
