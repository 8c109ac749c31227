#include "EncoderCommand.h"

#include <cmath>

QString ProbeCommand(const QString& source)
{
    return QStringLiteral("ffmpeg.exe -i \"") + source + QLatin1Char('"');
}

QString EncoderCommand(const QString& input, const QString& frameRateCap, int width, int height, const QString& output)
{
    const QChar q = QLatin1Char('"');
    return QStringLiteral("ffmpeg.exe -y -i ") + q + input + q + frameRateCap
        + QStringLiteral(" -f mp4 -vcodec libx264 -crf 21 -subq 4 -level 30 -refs 2 -me hex "
                         "-partitions +parti4x4+partp4x4+partp8x8+partb8x8 -s ")
        + QString::number(width) + QLatin1Char('x') + QString::number(height)
        + QStringLiteral(" -bufsize 4M -maxrate 1.5M -g 250 -coder 0 -threads auto -acodec libfaac -ac 2 -ab 128k ") + q
        + output + q;
}

qint64 MaxOutputBytes(double seconds)
{
    constexpr double BitsPerSecond = 1'500'000 + 128'000;
    constexpr double Margin = 1.1;
    constexpr qint64 PerFile = 256 * 1024;
    if (!(seconds > 0))
        return PerFile;
    return PerFile + static_cast<qint64>(std::ceil(seconds * BitsPerSecond / 8 * Margin));
}
