#pragma once

#include "MediaInfo.h"

#include <QString>
#include <optional>

// One source of a batch and what its probe made of it.
struct Job
{
    QString File; // the source path as listed
    std::optional<MediaInfo> Infos; // from the probe; absent until read, or when unreadable
    double pbarmax = 0; // duration in whole seconds: the progress maximum while this job encodes
    QString ffcmd; // the encoder command line
};
