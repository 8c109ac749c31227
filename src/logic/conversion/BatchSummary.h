#pragma once

#include "Job.h"

#include <QString>
#include <QStringList>
#include <vector>

// How a batch ended: what a front end shows and acts on once it is over. Its counts and lists are read
// from the jobs' outcomes.
struct BatchSummary
{
    enum class Ending {
        None, // no batch has ended since the last one started
        Finished, // every job was encoded, or tried
        Cancelled, // the user stopped it
        Refused, // it did not start, or stopped at a source before anything was encoded
    };
    Ending ending = Ending::None;
    QString elapsedText; // the last job's elapsed time
    // The user wants the page on putting a video on the phone, and something was converted to put there.
    bool howToPageDue = false;
    std::vector<Job> jobs; // as they ended, in list order

    int Converted() const;
    // Left alone because their outputs were there already.
    int Skipped() const;
    // The sources that were converted, with or without their subtitles.
    QStringList ConvertedSources() const;
    // The jobs whose encode did not produce their output.
    std::vector<Job> Failed() const;
    QStringList FailedSources() const;
    // Subtitle files that could not be read: their videos were converted without them.
    QStringList SubtitlesLeftOut() const;
};
