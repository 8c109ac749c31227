#pragma once

#include "encoder/common/Result.h"

#include <string>

// The ffmpeg filter that burns the subtitle file into the picture, escaped for a filter graph: the file is
// read to learn its character set.
Result<std::string> SubtitleFilter(const std::string& subtitlePath);
