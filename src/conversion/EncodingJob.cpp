#include "EncodingJob.h"

#include "MediaInfo.h"
#include "Paths.h"
#include "SubtitleScript.h"
#include "WindowLooks.h"
#include "window/Destination.h"
#include "window/Form1.h"
#include "window/Twips.h"

#include <QCheckBox>
#include <QStringList>
#include <cmath>

QString ProbeCommand(const QString& source)
{
    return QStringLiteral("ffmpeg.exe -i \"") + source + QLatin1Char('"');
}

bool Refuse(Form1& f, const QString& path, const QString& key)
{
    f.platform.messages->showOk(path + QStringLiteral(":\n") + T(f, key));
    ShowCancelled(f);
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

bool PrepareJob(Form1& f, const QString& res)
{
    ConversionState& c = f.conv;
    Job& job = c.Jobs[c.CurrentIndex];
    const QString out = OutputFileName(f);

    // Two sources of one batch that share a base name would write one output; the later encode
    // would silently replace the earlier one's file.
    for (int row = 0; row < c.CurrentIndex; ++row) {
        if (OutputFileNameOf(f, row) == out)
            return Refuse(f, job.File, QStringLiteral("error_sameoutput"));
    }

    if (f.opts.OptOverwrite == 1 && FileExists(out)) {
        if (!f.platform.messages->askYesNo(out + QStringLiteral(":\n")
                                           + T(f, QStringLiteral("cmdConvert_overwrite")))) {
            ShowCancelled(f);
            return false;
        }
    }

    // Another spelling of the source's own path (a link, "./", "//") is caught by asking the file system.
    if (out == job.File || SameFile(out, job.File))
        return Refuse(f, job.File, QStringLiteral("error_SourceDestintaionSame"));

    // A double quote would end the quoted path early on the encoder's command line.
    if (job.File.contains(QLatin1Char('"')) || out.contains(QLatin1Char('"')))
        return Refuse(f, job.File, QStringLiteral("error_badsource"));

    if (res.contains(QLatin1String("Unknown format")) || res.contains(QLatin1String("no such file or directory")))
        return Refuse(f, job.File, QStringLiteral("error_badsource"));

    job.Infos = ParseProbeOutput(res);
    if (job.Infos.isEmpty())
        return Refuse(f, job.File, QStringLiteral("error_badsource"));

    const QStringList fields = job.Infos.split(QLatin1Char('|'));
    if (fields.size() < 4)
        return Refuse(f, job.File, QStringLiteral("error_badsource"));
    const std::optional<QSize> size = ComputeOutputSize(fields.at(1), fields.at(2));
    if (!size)
        return Refuse(f, job.File, QStringLiteral("error_badsource"));
    job.pbarmax = fields.at(0);
    const QString cap = LeadingNumber(fields.at(3)) > 30 ? QStringLiteral(" -r 30") : QString();

    const QString folder = f.platform.system->programFolder();
    QString input = job.File;
    if (CheckValue(f.chkSubtitles) == 1 && SubtitlesAvailable(folder, job.File))
        input = SubtitleScriptPath(folder);
    if (input.contains(QLatin1Char('"')))
        return Refuse(f, job.File, QStringLiteral("error_badsource"));

    job.ffcmd = EncoderCommand(input, cap, size->width(), size->height(), out);
    return true;
}

std::optional<QSize> ComputeOutputSize(const QString& widthText, const QString& heightText)
{
    const double w = LeadingNumber(widthText);
    const double h = LeadingNumber(heightText);
    if (w <= 0 || h <= 0)
        return std::nullopt;
    if (w > h) {
        if (w <= MaxSide)
            return QSize(static_cast<int>(w), static_cast<int>(h));
        return QSize(MaxSide, ScaledSide(w, h));
    }
    if (h <= MaxSide)
        return QSize(static_cast<int>(w), static_cast<int>(h));
    return QSize(ScaledSide(h, w), MaxSide);
}

bool IsEven(qint32 n)
{
    return n % 2 == 0;
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
