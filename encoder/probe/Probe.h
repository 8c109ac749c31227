#pragma once

#include <string>

// Prints what the old encoders printed for "-i SRC" without an output: the input line, the duration line and
// one line per stream, then the missing-output complaint. Returns the exit status (always non-zero).
// `shownName` is the name as given on the command line; `path` the file actually opened.
int RunProbe(const std::string& shownName, const std::string& path);
