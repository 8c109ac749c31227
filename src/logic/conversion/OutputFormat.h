#pragma once

#include <QString>

// The two kinds of file the program makes. Each has its own size rule, encoder settings and rates; the
// frame rate is capped at 30 for both.
enum class OutputFormat {
    // Longer side at most 480, Constrained Baseline level 3.0, AAC stereo 128 kbit/s: plays on every iPhone.
    Classic,
    // Fits 1920x1080 (1080x1920 upright), High profile level 4.1, AAC stereo 160 kbit/s: iPhone 5 and later.
    FullHd,
};

// The encoder command line of a job; frameRateCap is " -r 30" or "". Classic gives exactly the line the
// program has always written.
QString EncoderCommand(OutputFormat format, const QString& input, const QString& frameRateCap, int width, int height,
                       const QString& output);

// The most an output of `seconds` can take, for the room-on-disk question.
qint64 MaxOutputBytes(OutputFormat format, double seconds);
