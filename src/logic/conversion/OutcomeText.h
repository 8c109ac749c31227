#pragma once

#include "Job.h"
#include "localisation/Language.h"

#include <QChar>
#include <QString>

// A job's result in the current language, the same for both front ends.

// Why an encode failed, as a sentence.
QString FailureText(const Localisation& lang, const EncodeFailure& failure, QChar decimalSeparator);

// Why a job was refused, failed, or not converted, as a sentence; empty for the other states.
QString OutcomeReason(const Localisation& lang, const JobOutcome& outcome, QChar decimalSeparator);

// What the source list says of a job: "Converted", "Failed: The destination is full."; empty while it
// waits.
QString OutcomeText(const Localisation& lang, const JobOutcome& outcome, QChar decimalSeparator);

// The same with the encoder's own words on a line of their own, where they add something.
QString OutcomeDetails(const Localisation& lang, const JobOutcome& outcome, QChar decimalSeparator);

// The command line's line for a job that has ended: the source and its result.
QString OutcomeLine(const Localisation& lang, const Job& job, QChar decimalSeparator);
