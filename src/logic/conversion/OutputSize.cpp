#include "OutputSize.h"

#include "text/TextReading.h"

#include <cmath>

namespace {

// Half-way values go to the even neighbour, as the sizes have always been computed.
double RoundHalfEven(double value)
{
    return std::nearbyint(value);
}

int ScaledSide(double longer, double shorter)
{
    const double ratio = RoundHalfEven(longer / shorter * 100) / 100;
    int side = static_cast<int>(RoundHalfEven(MaxSide / ratio));
    if (!IsEven(side))
        side -= 1;
    return side;
}

// The largest size of the source's proportions inside a frame of `longer` x `shorter`, turned upright for an
// upright or square source; never enlarged.
std::optional<QSize> FitFrame(double w, double h, double longer, double shorter)
{
    if (!(w > 0 && h > 0) || !std::isfinite(w) || !std::isfinite(h))
        return std::nullopt;
    const double frameW = w > h ? longer : shorter;
    const double frameH = w > h ? shorter : longer;
    QSize size;
    if (w <= frameW && h <= frameH)
        size = QSize(static_cast<int>(RoundHalfEven(w)), static_cast<int>(RoundHalfEven(h)));
    else if (w * frameH >= h * frameW) // the width meets the frame first
        size = QSize(static_cast<int>(frameW), static_cast<int>(RoundHalfEven(h * frameW / w)));
    else
        size = QSize(static_cast<int>(RoundHalfEven(w * frameH / h)), static_cast<int>(frameH));
    // 4:2:0 pictures need even sides.
    size = QSize(size.width() & ~1, size.height() & ~1);
    if (size.isEmpty())
        return std::nullopt;
    return size;
}

} // namespace

std::optional<QSize> OutputSize(OutputFormat format, double width, double height)
{
    switch (format) {
    case OutputFormat::FullHd:
        return FitFrame(width, height, 1920, 1080);
    case OutputFormat::FourK:
        return FitFrame(width, height, 3840, 2160);
    case OutputFormat::Classic:
        break;
    }
    return ComputeOutputSize(width, height);
}

std::optional<QSize> ComputeOutputSize(const QString& widthText, const QString& heightText)
{
    return ComputeOutputSize(LeadingNumber(widthText), LeadingNumber(heightText));
}

std::optional<QSize> ComputeOutputSize(double w, double h)
{
    // A garbled probe can give sides past any number; their ratio would not be one.
    if (!(w > 0 && h > 0) || !std::isfinite(w) || !std::isfinite(h))
        return std::nullopt;
    QSize size;
    if (w > h)
        size = w <= MaxSide ? QSize(static_cast<int>(w), static_cast<int>(h)) : QSize(MaxSide, ScaledSide(w, h));
    else
        size = h <= MaxSide ? QSize(static_cast<int>(w), static_cast<int>(h)) : QSize(ScaledSide(h, w), MaxSide);
    // An absurd aspect ratio (or a side below one pixel) leaves a side of 0.
    if (size.isEmpty())
        return std::nullopt;
    return size;
}

bool IsEven(qint32 n)
{
    return n % 2 == 0;
}
