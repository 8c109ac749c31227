#include "Progress.h"

#include "window/Form1.h"

// STUB: replaced by the real progress display.
void HandleEncoderOutput(Form1&, const QString&) {}
void TimerTick(Form1& f) { ++f.conv.ElapsedSeconds; }
QString TimeText(qint32) { return QStringLiteral("00:00:00"); }
QString ReportPositionText(const QString&) { return QStringLiteral("0"); }
