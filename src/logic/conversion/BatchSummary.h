#pragma once

#include <QString>
#include <QStringList>

// How a batch ended: what a front end shows and acts on once it is over.
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
    int converted = 0;
    QStringList failedSources; // encodes that did not produce their output
    QStringList subtitlesLeftOut; // subtitle files that could not be read: their videos were converted without them
    // The user wants the page on putting a video on the phone, and something was converted to put there.
    bool howToPageDue = false;
};
