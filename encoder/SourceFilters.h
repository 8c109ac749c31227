#pragma once

#include "SourceFacts.h"

#include <string>
#include <vector>

// Filters that make a source's picture fit for an 8-bit SDR phone video; empty when the picture needs none.

// Interlaced video: each frame's two fields made into one whole frame, so the frame count stays the same.
std::string DeinterlaceFilter(const StreamFacts& video);

// HDR video (PQ or HLG transfer): tone-mapped to SDR BT.709, 8-bit 4:2:0.
std::string ToSdrFilter(const StreamFacts& video);

// The output options that tag the picture ToSdrFilter made; empty when it made none.
std::vector<std::string> SdrTags(const StreamFacts& video);
