#include "EncodingJob.h"

#include "Batch.h"
#include "MediaInfo.h"
#include "Paths.h"
#include "SubtitleScript.h"

#include <cmath>

QString OutputPath(const QString& destination, const QString& source)
{
    return destination + BaseNamePart(source) + QStringLiteral(".mp4");
}

QString ProbeCommand(const QString& source)
{
    return QStringLiteral("ffmpeg.exe -i \"") + source + QLatin1Char('"');
}

bool Batch::Refuse(const QString& path, const QString& key)
{
    platform_.messages->showOk(path + QStringLiteral(":\n") + T(key));
    ReturnToIdle();
    view_.ShowCancelled();
    // Nothing was encoded: the refusal comes before the first encode.
    Notify(QStringLiteral("notify_refused"), 0, 1);
    return false;
}

namespace {

// Half-way values go to the even neighbour, as the sizes have always been computed.
double RoundHalfEven(double value)
{
    return std::nearbyint(value);
}

int ScaledSide(double longer, double shorter)
{
    const double ratio = RoundHalfEven(longer / shorter * 100) / 100;
    int side = static_cast<int>(RoundHalfEven(MaxSide / ratio));
    if (!IsEven(side))
        side -= 1;
    return side;
}
} // namespace

bool Batch::PrepareJob(const QString& res)
{
    Job& job = Jobs[CurrentIndex];
    const QString out = OutputFileName();

    // Two sources of one batch that share a base name would write one output; the later encode
    // would silently replace the earlier one's file. Names that differ only in letter case are one
    // file on a FAT or exFAT stick or a Windows share.
    for (int row = 0; row < CurrentIndex; ++row) {
        if (OutputFileNameOf(row).compare(out, Qt::CaseInsensitive) == 0)
            return Refuse(job.File, QStringLiteral("error_sameoutput"));
    }

    if (Options.Overwrite == 1 && FileExists(out)) {
        if (!platform_.messages->askYesNo(out + QStringLiteral(":\n") + T(QStringLiteral("cmdConvert_overwrite")))) {
            ReturnToIdle();
            view_.ShowCancelled();
            return false;
        }
    }

    // Another spelling of the source's own path (a link, "./", "//") is caught by asking the file system.
    if (out == job.File || SameFile(out, job.File))
        return Refuse(job.File, QStringLiteral("error_SourceDestintaionSame"));

    // A double quote would end the quoted path early on the encoder's command line.
    if (job.File.contains(QLatin1Char('"')) || out.contains(QLatin1Char('"')))
        return Refuse(job.File, QStringLiteral("error_badsource"));

    if (res.contains(QLatin1String("Unknown format")) || res.contains(QLatin1String("no such file or directory")))
        return Refuse(job.File, QStringLiteral("error_badsource"));

    job.Infos = ParseMediaInfo(res);
    if (!job.Infos)
        return Refuse(job.File, QStringLiteral("error_badsource"));
    const std::optional<QSize> size = ComputeOutputSize(job.Infos->Width, job.Infos->Height);
    if (!size)
        return Refuse(job.File, QStringLiteral("error_badsource"));
    job.pbarmax = job.Infos->Duration;
    const QString cap = job.Infos->FrameRate > 30 ? QStringLiteral(" -r 30") : QString();

    const QString folder = platform_.system->programFolder();
    QString input = job.File;
    if (Options.Subtitles == 1 && SubtitlesAvailable(folder, job.File))
        input = SubtitleScriptPath(platform_.system->workingFolder());
    if (input.contains(QLatin1Char('"')))
        return Refuse(job.File, QStringLiteral("error_badsource"));

    job.ffcmd = EncoderCommand(input, cap, size->width(), size->height(), out);
    return true;
}

std::optional<QSize> ComputeOutputSize(const QString& widthText, const QString& heightText)
{
    return ComputeOutputSize(LeadingNumber(widthText), LeadingNumber(heightText));
}

std::optional<QSize> ComputeOutputSize(double w, double h)
{
    // A garbled probe can give sides past any number; their ratio would not be one.
    if (!(w > 0 && h > 0) || !std::isfinite(w) || !std::isfinite(h))
        return std::nullopt;
    QSize size;
    if (w > h)
        size = w <= MaxSide ? QSize(static_cast<int>(w), static_cast<int>(h)) : QSize(MaxSide, ScaledSide(w, h));
    else
        size = h <= MaxSide ? QSize(static_cast<int>(w), static_cast<int>(h)) : QSize(ScaledSide(h, w), MaxSide);
    // An absurd aspect ratio (or a side below one pixel) leaves a side of 0.
    if (size.isEmpty())
        return std::nullopt;
    return size;
}

bool IsEven(qint32 n)
{
    return n % 2 == 0;
}

qint64 MaxOutputBytes(double seconds)
{
    constexpr double BitsPerSecond = 1'500'000 + 128'000;
    constexpr double Margin = 1.1;
    constexpr qint64 PerFile = 256 * 1024;
    if (!(seconds > 0))
        return PerFile;
    return PerFile + static_cast<qint64>(std::ceil(seconds * BitsPerSecond / 8 * Margin));
}

QString EncoderCommand(const QString& input, const QString& frameRateCap, int width, int height, const QString& output)
{
    const QChar q = QLatin1Char('"');
    return QStringLiteral("ffmpeg.exe -y -i ") + q + input + q + frameRateCap
        + QStringLiteral(" -f mp4 -vcodec libx264 -crf 21 -subq 4 -level 30 -refs 2 -me hex "
                         "-partitions +parti4x4+partp4x4+partp8x8+partb8x8 -s ")
        + QString::number(width) + QLatin1Char('x') + QString::number(height)
        + QStringLiteral(" -bufsize 4M -maxrate 1.5M -g 250 -coder 0 -threads auto -acodec libfaac -ac 2 -ab 128k ") + q
        + output + q;
}
