#include "encoder/run/CopyOrEncode.h"

RunOutcome RunCopyOrEncode(const std::string& ffmpeg, const Request& request, const Translation& translation,
                           const EncodeSetup& setup, CopyPlan& plan, SignalWatch& signals, Console& console)
{
    if (plan.video) {
        const RunOutcome copied
            = RunEncoder(ffmpeg, FfmpegArguments(request, CopyTranslation(translation, plan), setup), signals, console);
        if (copied.stoppedBy != 0 || copied.exitCode == 0)
            return copied;
        console.Message("ffmpeg.exe: the video cannot be copied as it is; it is encoded instead\n");
        plan = CopyPlan {};
    }
    return RunEncoder(ffmpeg, FfmpegArguments(request, translation, setup), signals, console);
}
