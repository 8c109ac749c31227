#pragma once

#include <QString>

// The three kinds of file the program makes. Each has its own size rule, encoder settings, rates and
// frame-rate cap.
enum class OutputFormat {
    // Longer side at most 480, Constrained Baseline level 3.0, AAC stereo 128 kbit/s, at most 30 frames a
    // second: plays on every iPhone.
    Classic,
    // Fits 1920x1080 (1080x1920 upright), High profile level 4.1, AAC stereo 160 kbit/s, at most 30 frames a
    // second: iPhone 5 and later.
    FullHd,
    // Fits 3840x2160 (2160x3840 upright), HEVC level 5.1 with HDR kept, AAC stereo 160 kbit/s (an AC-3 track
    // kept beside it), at most 60 frames a second: iPhone 8 and later.
    FourK,
};

// The encoder command line of a job; frameRateCap is FrameRateCap's text. Classic gives exactly the line the
// program has always written.
QString EncoderCommand(OutputFormat format, const QString& input, const QString& frameRateCap, int width, int height,
                       const QString& output);

// The frame-rate option for a source of `framesPerSecond`: " -r 30" and the like, or "" when the rate is kept.
// Classic caps anything above 30 at 30. The others divide a faster rate by the smallest whole number that
// brings it under their cap, so every shown frame lasts as long as the next (50 gives 25, not 30); a rate
// within a thousandth above the cap counts as the cap (30.00 against 29.997 is rounding).
QString FrameRateCap(OutputFormat format, double framesPerSecond);

// The most an output of `seconds` can take, for the room-on-disk question.
qint64 MaxOutputBytes(OutputFormat format, double seconds);
