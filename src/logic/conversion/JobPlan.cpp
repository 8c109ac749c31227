#include "JobPlan.h"

#include "OutputFormat.h"
#include "OutputSize.h"

namespace {

JobPlan Refused(JobPlan plan, const QString& path, const char* key)
{
    plan.refusal = FileMessage {path, QLatin1String(key)};
    return plan;
}

bool HasQuote(const QString& path)
{
    return path.contains(QLatin1Char('"'));
}

} // namespace

JobPlan PlanJob(const JobFiles& source, const QString& probeText, const BatchOptions& options)
{
    JobPlan plan;
    Job& job = plan.job;
    job.File = source.file;
    const QString& out = source.output;

    // Checked first: what is converted already is no concern of this batch, whatever else is true of it.
    if (options.skipExisting && source.outputExists && !source.outputIsSource) {
        plan.skipped = true;
        return plan;
    }

    // Two sources of one batch that share a base name would write one output; the later encode would
    // silently replace the earlier one's file. Names that differ only in letter case are one file on a
    // FAT or exFAT stick or a Windows share.
    for (const QString& earlier : source.earlierOutputs) {
        if (earlier.compare(out, Qt::CaseInsensitive) == 0)
            return Refused(plan, source.file, "error_sameoutput");
    }

    if (options.askBeforeOverwrite && source.outputExists)
        plan.overwriteQuestion = FileMessage {out, QStringLiteral("cmdConvert_overwrite")};

    if (out == source.file || source.outputIsSource)
        return Refused(plan, source.file, "error_SourceDestintaionSame");

    // A double quote would end the quoted path early on the encoder's command line.
    if (HasQuote(source.file) || HasQuote(out))
        return Refused(plan, source.file, "error_badsource");

    if (probeText.contains(QLatin1String("Unknown format"))
        || probeText.contains(QLatin1String("no such file or directory")))
        return Refused(plan, source.file, "error_badsource");

    job.mediaInfo = ParseMediaInfo(probeText);
    if (!job.mediaInfo)
        return Refused(plan, source.file, "error_badsource");
    job.durationSeconds = job.mediaInfo->Duration;

    // The size rule.
    const std::optional<QSize> size = OutputSize(options.format, job.mediaInfo->Width, job.mediaInfo->Height);
    if (!size)
        return Refused(plan, source.file, "error_badsource");
    const QString cap = FrameRateCap(options.format, job.mediaInfo->FrameRate);

    const bool subtitled = options.burnInSubtitles && source.subtitlesFound;
    const QString input = subtitled ? source.scriptPath : source.file;
    if (HasQuote(input))
        return Refused(plan, source.file, "error_badsource");
    if (subtitled)
        job.script = input;
    job.keepExisting = !source.outputExists;

    // The command line.
    job.commandLine = EncoderCommand(options.format, input, cap, size->width(), size->height(), out);
    return plan;
}
