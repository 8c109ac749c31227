#pragma once

#include "encoder/facts/SourceFacts.h"
#include "encoder/plan/Arguments.h"

#include <optional>
#include <string>
#include <vector>

// The whole command line handed to the system's ffmpeg for one run: a pure function of the request, its
// translation and what is known of the source.

// What ffmpeg is told besides the translated options.
struct EncodeSetup
{
    std::string input; // the source, absolute
    std::string partial; // the hidden file ffmpeg writes
    std::string format; // the muxer
    std::string subtitleFilter; // empty when no subtitles are drawn
    std::optional<SourceFacts> facts; // nullopt when the source could not be described
};

std::vector<std::string> FfmpegArguments(const Request& request, const Translation& translation,
                                         const EncodeSetup& setup);
