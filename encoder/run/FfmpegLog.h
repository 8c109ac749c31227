#pragma once

#include "encoder/common/LineSplitter.h"
#include "encoder/run/FailureReason.h"

#include <optional>
#include <string>
#include <string_view>

// ffmpeg's console output, run with "-loglevel level+info": every line carries its level. Warnings and
// errors are passed on without the level tag; the informational lines are read for the input's declared
// duration and dropped.
class FfmpegLog
{
public:
    // Takes the next bytes; returns the lines to show, each ending in a line feed.
    std::string Feed(std::string_view data);
    // The text of a last line without its line feed.
    std::string Finish();

    // The duration the input declared when ffmpeg opened it, in seconds; nullopt when it declared none,
    // or only guessed it from the bit rate.
    std::optional<double> declaredSeconds() const { return estimated_ ? std::nullopt : declared_; }
    // What the warnings and errors said about a failure.
    const EncoderErrors& errors() const { return errors_; }

private:
    std::string Line(const std::string& line);
    LineSplitter lines_;
    std::optional<double> declared_;
    bool estimated_ = false;
    bool inputDone_ = false;
    EncoderErrors errors_;
};
