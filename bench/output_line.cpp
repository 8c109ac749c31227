// The program's encoder command line for one source, as a batch builds it: the output's size rule and the
// frame-rate cap applied to the source's facts. The benchmark table runs it through the bridge.
//
//     output_line classic|fullhd SOURCE WIDTH HEIGHT FRAMES_PER_SECOND OUTPUT
#include "conversion/OutputFormat.h"
#include "conversion/OutputSize.h"

#include <QString>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char* argv[])
{
    if (argc != 7 || (std::strcmp(argv[1], "classic") != 0 && std::strcmp(argv[1], "fullhd") != 0)) {
        std::fprintf(stderr, "usage: output_line classic|fullhd SOURCE WIDTH HEIGHT FRAMES_PER_SECOND OUTPUT\n");
        return 2;
    }
    const OutputFormat format = std::strcmp(argv[1], "fullhd") == 0 ? OutputFormat::FullHd : OutputFormat::Classic;
    const auto size = OutputSize(format, std::atof(argv[3]), std::atof(argv[4]));
    if (!size) {
        std::fprintf(stderr, "output_line: %s x %s cannot be encoded\n", argv[3], argv[4]);
        return 1;
    }
    const QString cap = std::atof(argv[5]) > 30 ? QStringLiteral(" -r 30") : QString();
    const QString line = EncoderCommand(format, QString::fromLocal8Bit(argv[2]), cap, size->width(), size->height(),
                                        QString::fromLocal8Bit(argv[6]));
    std::printf("%s\n", qUtf8Printable(line));
    return 0;
}
