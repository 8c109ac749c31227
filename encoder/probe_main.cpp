// The bridge's probe, in a program of its own so that only a probe loads the FFmpeg libraries.
// Started by ffmpeg.exe as: reelpocket-probe NAME-AS-GIVEN PATH-TO-OPEN
#include "Console.h"
#include "Probe.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        Console().Message("usage: reelpocket-probe NAME PATH\n");
        return 1;
    }
    return RunProbe(argv[1], argv[2]);
}
