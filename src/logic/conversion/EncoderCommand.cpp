#include "EncoderCommand.h"

#include "OutputFormat.h"

QString ProbeCommand(const QString& source)
{
    return QStringLiteral("ffmpeg.exe -i \"") + source + QLatin1Char('"');
}

QString EncoderCommand(const QString& input, const QString& frameRateCap, int width, int height, const QString& output)
{
    return EncoderCommand(OutputFormat::Classic, input, frameRateCap, width, height, output);
}

qint64 MaxOutputBytes(double seconds)
{
    return MaxOutputBytes(OutputFormat::Classic, seconds);
}
