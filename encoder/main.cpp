// The encoder bridge: the "ffmpeg.exe" of the program folder. It takes the program's fixed command lines,
// probes sources through its probe module and hands the encoding to the system's ffmpeg with the options
// it understands. It links no FFmpeg library, so an encode starts at once.
#include "encoder/common/Console.h"
#include "encoder/plan/Arguments.h"
#include "encoder/probe/ProbeStart.h"
#include "encoder/run/Encode.h"
#include "encoder/run/SubtitleScriptReader.h"

#include <string>
#include <unistd.h>
#include <vector>

int main(int argc, char** argv)
{
    const int parentAtStart = static_cast<int>(getppid());
    const std::vector<std::string> args(argv + 1, argv + argc);
    const Request request = ParseArguments(args);
    switch (request.mode) {
    case Request::Mode::Probe: {
        // A subtitle script is probed through the source it names, as its host would present it.
        if (IsSubtitleScriptName(request.input)) {
            if (const auto script = ReadSubtitleScript(request.input))
                return StartProbe(request.input, script->source);
        }
        return StartProbe(request.input, request.input);
    }
    case Request::Mode::Encode:
        return RunEncode(request, parentAtStart);
    case Request::Mode::Invalid:
        break;
    }
    Console().Message("ffmpeg.exe: " + request.error
                      + "\nusage: ffmpeg.exe -i INPUT (probe) | ffmpeg.exe [-y] -i INPUT [options] OUTPUT\n");
    return 1;
}
