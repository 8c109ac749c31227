#pragma once

#include <QSize>
#include <QString>
#include <optional>

class Form1;

constexpr int MaxSide = 480;

// The probe command line for a source.
QString ProbeCommand(const QString& source);
// Checks row CurrentIndex against its probe output and stores its encoder command line. False when
// the batch must stop; the user has been told why and the cancelled look is shown.
bool PrepareJob(Form1& f, const QString& res);
// Stops the batch at the current row: the path, ":", a line feed and the text of the key, then the
// cancelled look. Always false.
bool Refuse(Form1& f, const QString& path, const QString& key);
// The output size for a source of the given width and height texts: the longer side at most MaxSide,
// a computed side made even. nullopt when a side is 0: such a picture cannot be encoded.
std::optional<QSize> ComputeOutputSize(const QString& widthText, const QString& heightText);
bool IsEven(qint32 n);
// The encoder command line; frameRateCap is " -r 30" or "".
QString EncoderCommand(const QString& input, const QString& frameRateCap, int width, int height, const QString& output);
