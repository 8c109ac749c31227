#pragma once

#include "conversion/JobOutcome.h"

#include <QIcon>

// The mark a source's row carries for its job's outcome: a filled disc in the outcome's colour with a white
// sign, which reads on light and dark lists alike. A failure's sign says where it lies: in the source (a
// line cut short), in the destination (a full box), or in the encoder (a cross). While a job waits or has
// only been probed its row keeps a blank place, so the names stay in line with the marked ones.
QIcon RowMark(const JobOutcome& outcome);
