#pragma once

#include "encoder/common/LineSplitter.h"

#include <cstddef>
#include <string>
#include <string_view>

// Passes ffmpeg's warnings and errors on, but keeps a flood (a damaged source can print a line per frame)
// from growing the output without bound: lines that differ only in numbers are folded into a count, and
// past a fixed number of lines the rest are only counted.
class MessageFilter
{
public:
    explicit MessageFilter(size_t maxLines = 100, size_t maxLineLength = 400);

    // Takes the next bytes of ffmpeg's console output; returns the text to show now.
    std::string Feed(std::string_view data);
    // The text still held back when the output ends.
    std::string Finish();

private:
    std::string Line(std::string line);
    std::string FlushRepeats();

    size_t maxLines_;
    size_t maxLineLength_;
    LineSplitter lines_;
    std::string lastKey_;
    size_t repeats_ = 0;
    size_t shown_ = 0;
    size_t suppressed_ = 0;
};
