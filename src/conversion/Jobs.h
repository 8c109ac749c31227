#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// One source of a batch. Rows after the last source stay empty; the first empty File ends the batch.
struct Job
{
    QString File;
    QString Infos; // "duration|width|height|fps" from the probe, "" when unreadable
    QString pbarmax; // duration in whole seconds: the progress maximum while this row encodes
    QString ffcmd; // the encoder command line
};

// Room for 1000 sources and the empty row that ends them.
constexpr int JobRows = 1001;
constexpr int MaxSources = JobRows - 1;

struct ConversionState
{
    std::vector<Job> Jobs = std::vector<Job>(JobRows);
    qint16 CurrentIndex = 0;
    QString ConversionPhase; // "", "info" while probing, "conversion" while encoding
    int CloseAfterCancel = 0;
    QStringList FailedSources; // encodes of this batch that did not produce their output
    int ConvertedCount = 0;

    // Progress of the running encode.
    QString PendingOutput;
    int ElapsedSeconds = 0;
};

inline const QString PhaseInfo = QStringLiteral("info");
inline const QString PhaseConversion = QStringLiteral("conversion");
