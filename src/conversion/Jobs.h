#pragma once

#include "MediaInfo.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// One source of a batch. Rows after the last source stay empty; the first empty File ends the batch.
struct Job
{
    QString File;
    std::optional<MediaInfo> Infos; // from the probe; absent until read, or when unreadable
    double pbarmax = 0; // duration in whole seconds: the progress maximum while this row encodes
    QString ffcmd; // the encoder command line
};

// Room for 1000 sources and the empty row that ends them.
constexpr int JobRows = 1001;
constexpr int MaxSources = JobRows - 1;

enum class Phase { Idle, Info, Conversion };

// Option values as the check boxes hold them: 0 clear, 1 ticked, 2 greyed.
struct BatchOptions
{
    int Overwrite = 1;
    int Subtitles = 0;
    int ShowPutiPhone = 1;
};

// Progress of the running encode, as the window shows it.
struct ProgressState
{
    double Maximum = 100; // seconds; 0 when the probe found no duration
    double Position = 0; // the encoder's last reported position
    QString PositionText; // that position as the user writes numbers
    QString PendingOutput; // a report that has not ended yet
    int ElapsedSeconds = 0;
    QString ElapsedText = QStringLiteral("00:00:00"); // what the elapsed-time caption shows
};
