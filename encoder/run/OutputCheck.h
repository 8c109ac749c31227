#pragma once

#include "encoder/common/Result.h"

#include <optional>
#include <string>
#include <string_view>

// What the index of an MP4-family file (its "moov" box) says about the file.
struct MovieFacts
{
    double seconds = 0; // the movie's duration
    int videoTracks = 0;
    int audioTracks = 0;
    double videoSeconds = 0; // the longest video track
};

// Reads the body of a "moov" box; nullopt when it is malformed.
std::optional<MovieFacts> ParseMovieBox(std::string_view moov);

// The index of the MP4-family file at `path`, read without decoding anything, or what is wrong when the file
// has no readable index.
Result<MovieFacts> ReadMovieFacts(const std::string& path);

// Whether a finished file reads back as a container of the expected format ("mp4" for the iPhone files)
// holding a video track of non-zero duration. Files outside the MP4 family are only checked to be non-empty.
// Gives the file's duration in seconds (0 when not known), or what is wrong.
Result<double> OutputReadsBack(const std::string& path, const std::string& format);
