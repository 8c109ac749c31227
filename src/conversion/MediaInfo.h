#pragma once

#include <QString>
#include <optional>

// Reading the encoder's probe text: duration, picture size and frame rate of a source.

struct MediaInfo
{
    double Duration = 0; // whole seconds; 0 when the probe found none
    double Width = 0;
    double Height = 0;
    double FrameRate = 0; // 0 when none was found
};

// The text between startPattern and endPattern in the first match: the earliest start whose end pattern
// still matches later on the same line, captured up to the last such end on that line. "." in a pattern
// matches any character but a line feed; every other character matches itself. "0" when nothing matches.
QString ExtractBetween(const QString& text, const QString& startPattern, const QString& endPattern);

// "hh:mm:ss[.ff]" or a plain leading number, in seconds. nullopt when a colon form has fewer than three
// parts or a part that is not a number.
std::optional<double> TimeToSeconds(const QString& text);

// The leading decimal number of a text: blanks, tabs and line feeds are skipped wherever they occur,
// digits with at most one '.' are read, reading stops at any other character; 0 when there is none.
double LeadingNumber(const QString& text);

// Shortest plain decimal with '.' as the point; integral values have no point ("83", "29.97").
QString PlainNumber(double value);

// "duration|width|height|fps" (e.g. "83| 640|480|25"), or "" when the probe text cannot be read.
QString ParseProbeOutput(const QString& output);
// The same facts as numbers; nullopt when the probe text cannot be read.
std::optional<MediaInfo> ParseMediaInfo(const QString& output);
