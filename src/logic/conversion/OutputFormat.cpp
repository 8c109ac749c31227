#include "OutputFormat.h"

#include <cmath>

namespace {

// What sets one output apart on the command line, and the rates its room-on-disk estimate rests on.
struct Pieces
{
    const char* video; // between the frame-rate cap and the picture size
    const char* rateAndAudio; // between the picture size and the quoted output
    double videoBitsPerSecond; // the rate control's cap (-maxrate)
    double audioBitsPerSecond; // every sound track together
    qint64 perFileBytes; // container, and what the rate control's buffer lets through above the cap
    double maxFramesPerSecond;
};

// Full HD: little analysis where more buys little at 1080p (one reference, no 8x8 or 4x4 inter partitions,
// sub-pixel refinement 2, a short look-ahead), with trellis quantisation and B-frames, which save far more
// than they cost. Constant quality as for the classic files, capped well inside level 4.1 (50 Mbit/s, a
// 62.5 Mbit buffer).
// 4K: x265's "fast" preset at constant quality 26, measured against HandBrake's 4K HEVC preset (x265 "slow",
// 10-bit, RF 24) on grainy 4K30: a quarter of its time at a higher SSIM and the same size. The rates are what a
// copy may carry (an iPhone's own 4K60 is about 50 Mbit/s); the encode itself keeps to level 5.1's Main tier.
// The room estimate counts a kept AC-3 or E-AC-3 track (up to 640 kbit/s) beside the AAC one.
const Pieces& PiecesOf(OutputFormat format)
{
    static const Pieces classic {" -f mp4 -vcodec libx264 -crf 21 -subq 4 -level 30 -refs 2 -me hex "
                                 "-partitions +parti4x4+partp4x4+partp8x8+partb8x8 -s ",
                                 " -bufsize 4M -maxrate 1.5M -g 250 -coder 0 -threads auto -acodec libfaac -ac 2 "
                                 "-ab 128k ",
                                 1'500'000,
                                 128'000,
                                 256 * 1024,
                                 30};
    static const Pieces fullHd {" -f mp4 -vcodec libx264 -crf 22 -subq 2 -level 41 -refs 1 -me hex "
                                "-partitions +parti4x4+parti8x8 -trellis 1 -weightp 1 -rc-lookahead 10 -s ",
                                " -bufsize 30M -maxrate 25M -g 250 -bf 3 -vprofile high -threads auto -acodec libfaac "
                                "-ac 2 -ab 160k ",
                                25'000'000,
                                160'000,
                                256 * 1024 + 30'000'000 / 8,
                                30};
    static const Pieces fourK {" -f mp4 -vcodec libx265 -crf 26 -preset fast -level 51 -s ",
                               " -bufsize 120M -maxrate 100M -threads auto -acodec libfaac -ac 2 -ab 160k ",
                               100'000'000,
                               160'000 + 640'000,
                               256 * 1024 + 120'000'000 / 8,
                               60};
    switch (format) {
    case OutputFormat::FullHd:
        return fullHd;
    case OutputFormat::FourK:
        return fourK;
    case OutputFormat::Classic:
        break;
    }
    return classic;
}

// The shortest decimal form, at most three decimals: 25, 29.97, 23.976.
QString RateText(double framesPerSecond)
{
    QString text = QString::number(framesPerSecond, 'f', 3);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text;
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

QString FrameRateCap(OutputFormat format, double framesPerSecond)
{
    const double cap = PiecesOf(format).maxFramesPerSecond;
    if (format == OutputFormat::Classic)
        return framesPerSecond > cap ? QStringLiteral(" -r 30") : QString();
    // Rounding in the probe's text (30.00 for 29.997) is no reason to drop frames.
    const double limit = cap * 1.001 + 1e-9;
    if (!(framesPerSecond > limit))
        return QString();
    // A garbled probe's endless rate has no divisor; the cap itself is the best guess.
    const double divisor = std::isfinite(framesPerSecond) ? std::ceil(framesPerSecond / limit) : 0;
    if (!(divisor >= 2) || !std::isfinite(framesPerSecond / divisor))
        return QStringLiteral(" -r ") + RateText(cap);
    return QStringLiteral(" -r ") + RateText(framesPerSecond / divisor);
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
