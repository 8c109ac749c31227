#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// Why an encode left no output: what the encoder said on its failure line, or that it never ran.
struct EncodeFailure
{
    enum class Kind {
        SourceShort, // cut short or damaged; the detail holds the output's and the source's seconds
        DestinationFull,
        DestinationUnwritable,
        EncoderCouldNotStart,
        EncoderError, // the detail is the encoder's last error line
        Stopped, // something other than the user's cancel ended the encoder
        SourceIsOutput,
        NameTaken, // a file took the output's name after the check
        Unknown, // the encoder named no reason the program knows
    };
    Kind kind = Kind::Unknown;
    QString detail; // in the encoder's own words
};

// Where a job of a batch stands.
enum class JobState {
    Waiting, // not probed yet
    Probed, // probed and planned, waiting for its encode
    Refused, // the batch stopped at it before any encode
    Converting,
    Converted,
    ConvertedWithoutSubtitles,
    Failed,
    NotReached, // the batch was cancelled or stopped before it
    Skipped, // its output was there already, and the user asked to leave such sources alone
};

struct JobOutcome
{
    JobState state = JobState::Waiting;
    // Refused and NotReached: the message key that says why.
    QString reasonKey;
    // Failed: what the encoder said.
    std::optional<EncodeFailure> failure;
    // ConvertedWithoutSubtitles: the subtitle files left out.
    QStringList subtitlesLeftOut;
    // Converted either way: the video already played on iPhone and was copied, not encoded again.
    bool copied = false;

    bool IsConverted() const { return state == JobState::Converted || state == JobState::ConvertedWithoutSubtitles; }
    // Over for this batch: nothing more will happen to the job.
    bool IsFinal() const
    {
        return state != JobState::Waiting && state != JobState::Probed && state != JobState::Converting;
    }
};
