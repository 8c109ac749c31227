#pragma once

#include <string>

// Whether a finished file reads back as a container of the expected format ("mp4" for the iPhone files)
// holding a video stream of non-zero duration. On failure `why` says what is wrong.
bool OutputReadsBack(const std::string& path, const std::string& format, std::string& why);
