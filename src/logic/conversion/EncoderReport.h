#pragma once

#include "JobOutcome.h"

#include <QString>
#include <QStringList>
#include <optional>

// Reads the encoder's progress reports out of its output. The output comes in pieces cut anywhere, and
// reports may be separated by a carriage return alone; a piece without the end of a report waits for
// the next one.
class EncoderReport
{
public:
    // Takes the next piece of output. The position reached, in seconds, when the piece ends a report: the
    // first complete report's time, or 0 when there is none. nullopt while a report is still open, and
    // when its time cannot be read.
    std::optional<double> TakePiece(const QString& piece);
    // What has arrived since the last report ended. Nothing clears it between jobs: the tail of one job's
    // output can lead the next job's first report.
    const QString& PendingOutput() const { return pendingOutput_; }

private:
    QString pendingOutput_;
};

// The position text of the first complete report: between "kB time=" and the first " bitrate=" after it
// on the same line; "0" when there is none.
QString ReportPositionText(const QString& reportText);

// An encode counts only when the encoder says it succeeded and its output is there: an output that was
// there before the encode must not pass for a new one.
bool EncodeSucceeded(bool encoderSucceeded, bool outputExists);

// Starts the line the encoder prints, followed by the subtitle file's path and a line feed, when it converted
// a video without its subtitles because their file could not be read.
inline constexpr char SubtitlesLeftOutMarker[] = "ffmpeg.exe: subtitles skipped, unreadable: ";

// The subtitle files an encoder's output names as left out, in the order it names them.
QStringList SubtitlesLeftOut(const QString& encoderOutput);

// Starts the line the encoder ends a failed encode with: a word for the kind of failure, a space, and the
// detail in the encoder's words (for a source cut short: the output's and the source's seconds).
inline constexpr char EncodeFailedMarker[] = "ffmpeg.exe: failed: ";

// Why a failed encode left no output, as its output says: the last failure line; without one, an unknown
// failure with the last line of the output as its detail.
EncodeFailure ReadEncodeFailure(const QString& encoderOutput);

// Starts the line the encoder prints when it copies the video as it is, because it already plays on iPhone.
inline constexpr char VideoCopiedMarker[] = "ffmpeg.exe: copied, already plays on iPhone";

// Whether an encoder's output says it copied the video rather than encoding it.
bool VideoCopied(const QString& encoderOutput);

// The variable that tells the encoder, with "1", that the user did not agree to replace the output.
inline constexpr char NoReplaceVariable[] = "REELPOCKET_NO_REPLACE";
