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

// "duration|width|height|fps" (e.g. "83| 640|480|25"), or "" when the probe text cannot be read.
QString ParseProbeOutput(const QString& output);
// The same facts as numbers; nullopt when the probe text cannot be read.
std::optional<MediaInfo> ParseMediaInfo(const QString& output);
