#pragma once

#include <string>

// Prints what the old encoders printed for "-i SRC" without an output: the input line, the duration line and
// one line per stream, then the missing-output complaint. Returns the exit status (always non-zero).
// `shownName` is the name as given on the command line; `path` the file actually opened.
int RunProbe(const std::string& shownName, const std::string& path);

// Text of a duration in AV_TIME_BASE units, as the duration line shows it: "HH:MM:SS.cc".
std::string DurationText(long long duration);

// A frame rate in its shortest form with at most three decimals: "25", "29.97", "23.976".
std::string RateText(double rate);
