#pragma once

#include <string>

// Hands a probe to the probe program beside the bridge ("reelpocket-probe"), which replaces this process:
// only a probe pays for loading the FFmpeg libraries, an encode never does. Returns only on failure, with
// the exit status to end with.
int StartProbe(const std::string& shownName, const std::string& path);
