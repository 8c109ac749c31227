#include "OutputFormat.h"

#include <cmath>

namespace {

// What sets one output apart on the command line, and the rates its room-on-disk estimate rests on.
struct Pieces
{
    const char* video; // between the frame-rate cap and the picture size
    const char* rateAndAudio; // between the picture size and the quoted output
    double videoBitsPerSecond; // the rate control's cap (-maxrate)
    double audioBitsPerSecond;
    qint64 perFileBytes; // container, and what the rate control's buffer lets through above the cap
};

// Full HD: little analysis where more buys little at 1080p (one reference, no 8x8 or 4x4 inter partitions,
// sub-pixel refinement 2, a short look-ahead), with trellis quantisation and B-frames, which save far more
// than they cost. Constant quality as for the classic files, capped well inside level 4.1 (50 Mbit/s, a
// 62.5 Mbit buffer).
const Pieces& PiecesOf(OutputFormat format)
{
    static const Pieces classic {" -f mp4 -vcodec libx264 -crf 21 -subq 4 -level 30 -refs 2 -me hex "
                                 "-partitions +parti4x4+partp4x4+partp8x8+partb8x8 -s ",
                                 " -bufsize 4M -maxrate 1.5M -g 250 -coder 0 -threads auto -acodec libfaac -ac 2 "
                                 "-ab 128k ",
                                 1'500'000, 128'000, 256 * 1024};
    static const Pieces fullHd {" -f mp4 -vcodec libx264 -crf 22 -subq 2 -level 41 -refs 1 -me hex "
                                "-partitions +parti4x4+parti8x8 -trellis 1 -weightp 1 -rc-lookahead 10 -s ",
                                " -bufsize 30M -maxrate 25M -g 250 -bf 3 -vprofile high -threads auto -acodec libfaac "
                                "-ac 2 -ab 160k ",
                                25'000'000, 160'000, 256 * 1024 + 30'000'000 / 8};
    return format == OutputFormat::FullHd ? fullHd : classic;
}
} // namespace

QString EncoderCommand(OutputFormat format, const QString& input, const QString& frameRateCap, int width, int height,
                       const QString& output)
{
    const Pieces& pieces = PiecesOf(format);
    const QChar q = QLatin1Char('"');
    return QStringLiteral("ffmpeg.exe -y -i ") + q + input + q + frameRateCap + QLatin1String(pieces.video)
        + QString::number(width) + QLatin1Char('x') + QString::number(height) + QLatin1String(pieces.rateAndAudio) + q
        + output + q;
}

qint64 MaxOutputBytes(OutputFormat format, double seconds)
{
    const Pieces& pieces = PiecesOf(format);
    // A tenth more for the rate control's bursts and the container.
    constexpr double Margin = 1.1;
    if (!(seconds > 0))
        return pieces.perFileBytes;
    return pieces.perFileBytes
        + static_cast<qint64>(
               std::ceil(seconds * (pieces.videoBitsPerSecond + pieces.audioBitsPerSecond) / 8 * Margin));
}
