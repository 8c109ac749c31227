#pragma once

#include "encoder/common/Console.h"
#include "encoder/plan/CopyRule.h"
#include "encoder/run/EncoderRun.h"

#include <string>

// Runs ffmpeg on the request, copying what `plan` copies. A copy ffmpeg cannot make is no reason for the job to
// fail: the source is then encoded as it would have been, and `plan` is made to copy nothing.
RunOutcome RunCopyOrEncode(const std::string& ffmpeg, const Request& request, const Translation& translation,
                           const EncodeSetup& setup, CopyPlan& plan, SignalWatch& signals, Console& console);
