// The program's encoder command line for one source, as a batch builds it: the output's size rule and the
// frame-rate cap applied to the source's facts. The benchmark table runs it through the bridge.
//
//     output_line classic|fullhd|fourk SOURCE WIDTH HEIGHT FRAMES_PER_SECOND OUTPUT
#include "conversion/OutputFormat.h"
#include "conversion/OutputSize.h"

#include <QString>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char* argv[])
{
    const char* const names[] = {"classic", "fullhd", "fourk"};
    const OutputFormat formats[] = {OutputFormat::Classic, OutputFormat::FullHd, OutputFormat::FourK};
    int chosen = -1;
    for (int i = 0; argc == 7 && i < 3; ++i) {
        if (std::strcmp(argv[1], names[i]) == 0)
            chosen = i;
    }
    if (chosen < 0) {
        std::fprintf(stderr, "usage: output_line classic|fullhd|fourk SOURCE WIDTH HEIGHT FRAMES_PER_SECOND OUTPUT\n");
        return 2;
    }
    const OutputFormat format = formats[chosen];
    const auto size = OutputSize(format, std::atof(argv[3]), std::atof(argv[4]));
    if (!size) {
        std::fprintf(stderr, "output_line: %s x %s cannot be encoded\n", argv[3], argv[4]);
        return 1;
    }
    const QString cap = FrameRateCap(format, std::atof(argv[5]));
    const QString line = EncoderCommand(format, QString::fromLocal8Bit(argv[2]), cap, size->width(), size->height(),
                                        QString::fromLocal8Bit(argv[6]));
    std::printf("%s\n", qUtf8Printable(line));
    return 0;
}
