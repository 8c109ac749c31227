#pragma once

#include <string>

// The muxer for an output's name: ffmpeg writes to the hidden partial file, whose name has no extension it
// knows, so the bridge names the format; MP4, the program's own, when the name says nothing.
std::string GuessFormat(const std::string& output);

bool IsMovFamily(const std::string& format);
