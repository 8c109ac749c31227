#pragma once

#include "JobOutcome.h"
#include "MediaInfo.h"

#include <QString>
#include <optional>

// One source of a batch and what its probe made of it.
struct Job
{
    QString File; // the source path as listed
    std::optional<MediaInfo> mediaInfo; // from the probe; absent until read, or when unreadable
    double durationSeconds = 0; // duration in whole seconds: the progress maximum while this job encodes
    QString commandLine; // the encoder command line
    QString script; // the subtitle script its command line reads, a file of its own; empty when none
    // The output's name was free when it was checked: nobody agreed to replace a file that takes it meanwhile.
    bool keepExisting = false;
    JobOutcome outcome; // what has become of it so far
};
