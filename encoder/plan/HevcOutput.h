#pragma once

#include "encoder/facts/SourceFacts.h"
#include "encoder/plan/Arguments.h"

#include <string>
#include <vector>

// What the HEVC output (libx265, the 4K one) asks of ffmpeg beyond the program's options: the picture's coding,
// HDR kept as HDR, and a surround track kept beside the stereo one.

bool IsHevcOutput(const Translation& translation);

// For an encode: 8-bit Main for an SDR picture; Main 10 with the source's colours and transfer (HLG stays HLG, PQ
// stays PQ with its mastering display and light levels where the file states them) for an HDR one. The level, the
// rates of its Main tier and a quiet x265 go to x265's own parameters. `video` is nullptr when the source was not
// described.
std::vector<std::string> HevcCodingArguments(const StreamFacts* video, const Translation& translation);

// AC-3 and E-AC-3 play on iPhone but only as a second track: such a sound is copied beside its AAC stereo
// encode, which stays the default. `sound` is the source's chosen audio stream.
bool KeepsSurround(const StreamFacts* sound, const Translation& translation);
// The options with the sound's made to name the first sound track alone, and the kept track's own added.
std::vector<std::string> WithSurroundKept(const std::vector<std::string>& options);
