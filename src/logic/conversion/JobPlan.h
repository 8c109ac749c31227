#pragma once

#include "BatchOptions.h"
#include "Job.h"

#include <QString>
#include <QStringList>
#include <optional>

// A source as planning sees it: its path, its output, and what the file system says about them. The batch
// looks; planning only decides.
struct JobFiles
{
    QString file;
    QString output;
    QStringList earlierOutputs; // of the sources before it in the batch
    bool outputExists = false; // a file, not a folder, already carries the output's name
    bool outputIsSource = false; // the output is another spelling of the source itself (a link, "./", "//")
    bool subtitlesFound = false; // a subtitle file beside the source, and what burns it in
    QString scriptPath; // the subtitle script the encoder would read instead of the source, this job's own
};

// A message about one file: the path, ":", a line feed, and the text of the key.
struct FileMessage
{
    QString path;
    QString key;
};

// What becomes of one source. The question comes first, whatever follows it: No ends the batch there.
// Then either the refusal ends the batch at this source, or the job is ready to run.
struct JobPlan
{
    std::optional<FileMessage> overwriteQuestion;
    std::optional<FileMessage> refusal;
    // Its output is there already and such sources are left alone: no question, no refusal, no encode.
    bool skipped = false;
    Job job;
};

// The checks of one probed source and, when it passes them, its encoder command line.
JobPlan PlanJob(const JobFiles& source, const QString& probeText, const BatchOptions& options);
