#pragma once

#include <QString>

// Progress of the running encode, as the front end shows it.
struct ProgressState
{
    double Maximum = 100; // seconds; 0 when the probe found no duration
    double Position = 0; // the encoder's last reported position
    QString PositionText; // that position as the user writes numbers
    int ElapsedSeconds = 0;
    QString ElapsedText = QStringLiteral("00:00:00"); // what the elapsed-time caption shows
};
