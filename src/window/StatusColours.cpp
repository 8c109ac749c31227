#include "StatusColours.h"

#include "Twips.h"

#include <QWidget>
#include <cmath>

namespace {
constexpr double MinimumContrast = 4.5;

double Linear(double channel)
{
    return channel <= 0.03928 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}
} // namespace

double RelativeLuminance(const QColor& colour)
{
    return 0.2126 * Linear(colour.redF()) + 0.7152 * Linear(colour.greenF()) + 0.0722 * Linear(colour.blueF());
}

double ContrastRatio(const QColor& a, const QColor& b)
{
    const double la = RelativeLuminance(a);
    const double lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor ReadableColour(const QColor& designed, const QColor& background)
{
    // A light background keeps the designed colours exactly.
    if (RelativeLuminance(background) >= 0.18)
        return designed;
    for (int step = 0; step <= 20; ++step) {
        const double t = step / 20.0;
        const QColor tint = QColor::fromRgbF(designed.redF() + (1 - designed.redF()) * t,
                                             designed.greenF() + (1 - designed.greenF()) * t,
                                             designed.blueF() + (1 - designed.blueF()) * t);
        if (ContrastRatio(tint, background) >= MinimumContrast)
            return tint.toRgb();
    }
    return Qt::white;
}

void SetStatusColour(QWidget* widget, const QColor& designed)
{
    SetTextColour(widget, ReadableColour(designed, widget->palette().color(QPalette::Window)));
}
