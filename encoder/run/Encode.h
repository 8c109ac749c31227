#pragma once

#include "encoder/facts/SourceFacts.h"
#include "encoder/plan/Arguments.h"

#include <optional>
#include <string>
#include <vector>

// Runs an encode request through the system's ffmpeg. Returns the bridge's exit status: 0 only when the
// output was written, read back and put in place.
int RunEncode(const Request& request, int parentAtStart);

// Printed, followed by the subtitle file's path and a line feed, when an encode goes on without the
// subtitles because their file cannot be read.
inline constexpr char kSubtitlesLeftOut[] = "ffmpeg.exe: subtitles skipped, unreadable: ";

// Set to "1" in the environment of an encode whose output the user did not agree to replace (the name was
// free when the program checked it): a file that has taken the name since is kept, whatever "-y" says.
// Without it "-y" replaces, as for a bridge started by hand.
inline constexpr char kNoReplaceVariable[] = "REELPOCKET_NO_REPLACE";
