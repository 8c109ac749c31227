#pragma once

#include <QString>

// The command lines the batch runs: the probe of a source, and the encode that makes its output.

// The probe command line for a source.
QString ProbeCommand(const QString& source);
// The classic output's encoder command line; frameRateCap is " -r 30" or "". OutputFormat.h has both outputs'.
QString EncoderCommand(const QString& input, const QString& frameRateCap, int width, int height, const QString& output);
// The most an output of `seconds` can take: the command line caps video at 1.5 Mbit/s and audio at
// 128 kbit/s; a tenth more for the rate control's bursts and the container, and a little per file.
qint64 MaxOutputBytes(double seconds);
