#pragma once

#include "encoder/common/Result.h"

#include <string>

// Runs a probe through the probe module beside the bridge ("modules/reelpocket-probe.so"), the only part that
// links the FFmpeg libraries: they are loaded for a probe and never for an encode. Returns the exit status.
int StartProbe(const std::string& shownName, const std::string& path);

// An entry point of the probe module, loading the module, or why it cannot be had.
Result<void*> ProbeModuleEntry(const char* name);
