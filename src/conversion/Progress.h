#pragma once

#include <QString>
#include <optional>

class Form1;

void HandleEncoderOutput(Form1& f, const QString& Outputs);
void TimerTick(Form1& f);
QString TimeText(qint32 seconds);
// The position text of the first complete report: between "kB time=" and the first " bitrate="
// after it on the same line; "0" when there is none.
QString ReportPositionText(const QString& reportText);
