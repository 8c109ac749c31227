#pragma once

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

// Starts the line the encoder prints when it copies the video as it is, because it already plays on iPhone.
inline constexpr char VideoCopiedMarker[] = "ffmpeg.exe: copied, already plays on iPhone";

// Whether an encoder's output says it copied the video rather than encoding it.
bool VideoCopied(const QString& encoderOutput);

// Starts the line the encoder prints, followed by the output's path and a line feed, when another file took
// the output's name while the video was encoded: that file is kept and the encode is discarded.
inline constexpr char OutputTakenMarker[] = "ffmpeg.exe: the output's name was taken meanwhile, not replaced: ";

// The variable that tells the encoder, with "1", that the user did not agree to replace the output.
inline constexpr char NoReplaceVariable[] = "REELPOCKET_NO_REPLACE";

// Whether an encoder's output says the output's name was taken meanwhile.
bool OutputTakenMeanwhile(const QString& encoderOutput);
