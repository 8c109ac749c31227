#pragma once

#include <string>

// The facts an encode needs about its source (SourceFacts), read with libavformat, and whether `subtitles`
// (when not empty) can be drawn by ffmpeg's subtitle filter. Returns the facts' text, empty when the source
// cannot be opened.
std::string DescribeSource(const std::string& path, const std::string& subtitles);
