#pragma once

#include "encoder/facts/SourceFacts.h"
#include "encoder/run/EncoderRun.h"

#include <optional>
#include <string>

struct SourceQuery
{
    std::optional<SourceFacts> facts; // nullopt when the source could not be described
    int stoppedBy = 0; // the signal that stopped the query, 0 when it ran to its end
};

// Describes `source` (and checks `subtitles` when not empty) through the probe module, loaded in a child
// process that ends right after: the bridge itself never maps an FFmpeg library. A stop signal ends the child
// at once.
SourceQuery QuerySource(const std::string& source, const std::string& subtitles, SignalWatch& signals);
