#pragma once

#include "Arguments.h"

// Runs an encode request through the system's ffmpeg. Returns the bridge's exit status: 0 only when the
// output was written, read back and put in place.
int RunEncode(const Request& request, int parentAtStart);
