#pragma once

#include <QColor>

// The status colours of the window's looks during and after a batch.
inline const QColor ConvertingColour(0, 0, 255);
inline const QColor FinishedColour(0, 192, 0);
inline const QColor CancelledColour(255, 0, 0);
