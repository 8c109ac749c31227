#pragma once

#include "conversion/BatchView.h"

#include <QGroupBox>

class QLabel;
class QProgressBar;

// The status frame: its caption is the batch's status, and inside it the progress bar, the percentage and
// the elapsed and remaining times of the file being converted.
class ProgressPanel : public QGroupBox
{
    Q_OBJECT
public:
    explicit ProgressPanel(QWidget* parent);

    // The idle look: an empty bar of the given maximum (seconds), zero times and percentage.
    void ReturnToIdle(double maximumSeconds);
    void SetTexts(const QString& elapsedCaption, const QString& remainingCaption);
    // What a screen reader says of the parts without a caption of their own.
    void SetAccessibleNames(const QString& bar, const QString& percent, const QString& elapsed,
                            const QString& remaining);

    void ShowStatus(const QString& text);
    // The status in its colour, made readable on the window's background.
    void ShowStatus(const QString& text, const QColor& designed);
    void ShowMaximum(double seconds);
    void ShowProgress(const ProgressDisplay& progress);
    void ShowElapsed(const QString& text);
    // A batch that has ended: the share of its sources that were converted.
    void ShowShare(const QString& percent, double share);

private:
    QLabel* lblPercent_;
    QLabel* lblTimeElapsed_;
    QLabel* lblTimeE_;
    QLabel* lblTimeRemaining_;
    QLabel* lblTimeR_;
    QProgressBar* pBar_;
};
