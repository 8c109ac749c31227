#include "OutcomeText.h"

#include "Paths.h"
#include "text/TextReading.h"

#include <cmath>

namespace {

QString T(const Localisation& lang, const char* key)
{
    return Translate(lang, QLatin1String(key)).trimmed();
}

// Seconds as a person reads them: at most one decimal.
QString Seconds(const QString& text, QChar decimalSeparator)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok)
        return text;
    return UserNumber(std::round(value * 10) / 10, decimalSeparator);
}

QString FileNames(const QStringList& paths)
{
    QStringList names;
    for (const QString& path : paths)
        names << FileNamePart(path);
    return names.join(QStringLiteral(", "));
}

} // namespace

QString FailureText(const Localisation& lang, const EncodeFailure& failure, QChar decimalSeparator)
{
    using Kind = EncodeFailure::Kind;
    switch (failure.kind) {
    case Kind::SourceShort: {
        const QStringList seconds = failure.detail.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (seconds.size() < 2)
            break;
        return FillIn(T(lang, "reason_sourceshort"),
                      {Seconds(seconds.at(0), decimalSeparator), Seconds(seconds.at(1), decimalSeparator)});
    }
    case Kind::DestinationFull:
        return T(lang, "reason_destinationfull");
    case Kind::DestinationUnwritable:
        return T(lang, "reason_destinationunwritable");
    case Kind::EncoderCouldNotStart:
        return T(lang, "reason_encoderstart");
    case Kind::EncoderError:
        if (failure.detail.isEmpty())
            break;
        return FillIn(T(lang, "reason_encodererror"), {failure.detail});
    case Kind::Stopped:
        return T(lang, "reason_stopped");
    case Kind::SourceIsOutput:
        return T(lang, "error_SourceDestintaionSame");
    case Kind::NameTaken:
        return T(lang, "error_outputtaken");
    case Kind::Unknown:
        break;
    }
    return T(lang, "error_encodefailed");
}

QString OutcomeReason(const Localisation& lang, const JobOutcome& outcome, QChar decimalSeparator)
{
    switch (outcome.state) {
    case JobState::Refused:
    case JobState::NotReached:
        return Translate(lang, outcome.reasonKey).trimmed();
    case JobState::Failed:
        return FailureText(lang, outcome.failure.value_or(EncodeFailure {}), decimalSeparator);
    default:
        return QString();
    }
}

QString OutcomeText(const Localisation& lang, const JobOutcome& outcome, QChar decimalSeparator)
{
    const QString reason = OutcomeReason(lang, outcome, decimalSeparator);
    switch (outcome.state) {
    case JobState::Waiting:
    case JobState::Probed:
        return QString();
    case JobState::Converting:
        return T(lang, "outcome_converting");
    case JobState::Converted:
        return T(lang, outcome.copied ? "outcome_copied" : "outcome_converted");
    case JobState::ConvertedWithoutSubtitles:
        return FillIn(T(lang, "outcome_nosubtitles"), {FileNames(outcome.subtitlesLeftOut)});
    case JobState::Failed:
        return FillIn(T(lang, "outcome_failed"), {reason});
    case JobState::Refused:
    case JobState::NotReached:
        return FillIn(T(lang, "outcome_notconverted"), {reason});
    case JobState::Skipped:
        return T(lang, "outcome_skipped");
    }
    return QString();
}

QString OutcomeDetails(const Localisation& lang, const JobOutcome& outcome, QChar decimalSeparator)
{
    const QString text = OutcomeText(lang, outcome, decimalSeparator);
    if (!outcome.failure)
        return text;
    const EncodeFailure& failure = *outcome.failure;
    // The error's own line is the reason's text already; the two durations are in it.
    const bool inText
        = failure.kind == EncodeFailure::Kind::EncoderError || failure.kind == EncodeFailure::Kind::SourceShort;
    if (failure.detail.isEmpty() || inText)
        return text;
    return text + QLatin1Char('\n') + failure.detail;
}

QString OutcomeLine(const Localisation& lang, const Job& job, QChar decimalSeparator)
{
    const JobOutcome& outcome = job.outcome;
    const QString reason = OutcomeReason(lang, outcome, decimalSeparator);
    switch (outcome.state) {
    case JobState::Converted:
        return FillIn(T(lang, outcome.copied ? "console_copied" : "console_converted"), {job.File});
    case JobState::ConvertedWithoutSubtitles:
        return FillIn(T(lang, "console_nosubtitles"), {job.File, outcome.subtitlesLeftOut.join(QStringLiteral(", "))});
    case JobState::Failed:
        return FillIn(T(lang, "console_failedreason"), {job.File, reason});
    case JobState::Refused:
    case JobState::NotReached:
        return FillIn(T(lang, "console_notconverted"), {job.File, reason});
    case JobState::Skipped:
        return FillIn(T(lang, "console_skipped"), {job.File});
    default:
        return QString();
    }
}
