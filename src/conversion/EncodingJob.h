#pragma once

#include <QSize>
#include <QString>
#include <optional>

constexpr int MaxSide = 480;

// The output of a source: the destination (a plain prefix), the source's base name, ".mp4".
QString OutputPath(const QString& destination, const QString& source);
// The probe command line for a source.
QString ProbeCommand(const QString& source);
// The output size for a source of the given width and height texts: the longer side at most MaxSide,
// a computed side made even. nullopt when a side is 0 (also after scaling) or not a finite number: such a
// picture cannot be encoded.
std::optional<QSize> ComputeOutputSize(const QString& widthText, const QString& heightText);
std::optional<QSize> ComputeOutputSize(double width, double height);
bool IsEven(qint32 n);
// The most an output of `seconds` can take: the command line caps video at 1.5 Mbit/s and audio at
// 128 kbit/s; a tenth more for the rate control's bursts and the container, and a little per file.
qint64 MaxOutputBytes(double seconds);
// The encoder command line; frameRateCap is " -r 30" or "".
QString EncoderCommand(const QString& input, const QString& frameRateCap, int width, int height, const QString& output);
