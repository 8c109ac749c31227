#pragma once

#include <QString>
#include <optional>

// Reading the encoder's progress reports; the batch applies them (Batch::HandleEncoderOutput).

QString TimeText(qint32 seconds);
// The position text of the first complete report: between "kB time=" and the first " bitrate="
// after it on the same line; "0" when there is none.
QString ReportPositionText(const QString& reportText);
