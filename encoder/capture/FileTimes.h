#pragma once

#include <string>

// Gives `path` the access and modification times of `source`, as `cp -p` does, so a folder sorted by date
// keeps the order of filming. False when either file cannot be reached.
bool CopyFileTimes(const std::string& source, const std::string& path);
