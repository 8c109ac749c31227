#pragma once

#include "encoder/facts/SourceFacts.h"
#include "encoder/plan/Arguments.h"

#include <optional>
#include <string>
#include <vector>

// The video filter chain the bridge hands to ffmpeg, and the escaping of the values placed in it.

// Value escaping for ffmpeg's filter graphs: first for an option value, then for the graph description.
std::string EscapeFilterValue(const std::string& value);
std::string EscapeFilterGraph(const std::string& description);

// Filters that make a source's picture fit for an 8-bit SDR phone video; empty when the picture needs none.

// Interlaced video: each frame's two fields made into one whole frame, so the frame count stays the same.
std::string DeinterlaceFilter(const StreamFacts& video);

// HDR video (PQ or HLG transfer): tone-mapped to SDR BT.709, 8-bit 4:2:0. Given the size the picture ends up
// at, it is brought to that size on its way into linear light, so that the costly steps work on the small picture.
std::string ToSdrFilter(const StreamFacts& video, const std::optional<PictureSize>& size = std::nullopt);

// The output options that tag the picture ToSdrFilter made; empty when it made none.
std::vector<std::string> SdrTags(const StreamFacts& video);

// What the source's picture needs before anything else is done to it; empty filters are left out.
struct PictureFixes
{
    std::string deinterlace;
    std::string toSdr;
    std::vector<std::string> tags; // the output options that describe the fixed picture
};

// The fixes for the video ffmpeg encodes (nullptr when the source could not be described). None when the
// user chose the streams: the video described may not be the one encoded.
PictureFixes PictureFixesFor(const StreamFacts* video, const Translation& translation);

bool IsValidUtf8(const std::string& bytes);

// The character set to tell the subtitle decoder: empty when the file is read as it is (UTF-8, or UTF-16 and
// UTF-8 marked by a byte-order mark, which the reader honours), "CP1252" for anything else, the usual
// encoding of older subtitle files.
std::string SubtitleCharacterSet(const std::string& bytes);

// The video filter chain: the deinterlacer, the frame-rate cap, the tone mapping, the user's filters, the
// (even) output size, the subtitles.
std::string BuildVideoFilters(const Translation& translation, const std::string& subtitleFilter,
                              const PictureFixes& fixes = {});
