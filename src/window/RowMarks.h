#pragma once

#include "conversion/JobOutcome.h"

#include <QIcon>

// The mark a source's row carries for its job's state: a filled disc in the state's colour with a white
// sign, which reads on light and dark lists alike. No mark while a job waits or has only been probed.
QIcon RowMark(JobState state);
