#pragma once

#include "conversion/BatchView.h"

#include <QColor>
#include <QString>

class Form1;

inline const QColor ConvertingColour(0, 0, 255);
inline const QColor FinishedColour(0, 192, 0);
inline const QColor CancelledColour(255, 0, 0);

void ShowConverting(Form1& f);
void ShowFinished(Form1& f, const BatchSummary& summary);
void ShowCancelled(Form1& f);
