#pragma once

#include "OutputFormat.h"

#include <QSize>
#include <QString>
#include <optional>

// The output picture's size for each kind of file, and the classic rule on its own (the longer side at
// most MaxSide, a computed side made even).

constexpr int MaxSide = 480;

// The output picture for a source of width x height pixels; nullopt when a side is 0 or not a finite number
// (also after scaling): such a picture cannot be encoded.
//   Classic: ComputeOutputSize's rule.
//   FullHd, FourK: the largest size of the source's proportions that fits the frame (1920x1080 or 3840x2160,
//   upright for an upright source), never enlarged; a side is rounded half to even, then an odd side loses 1.
std::optional<QSize> OutputSize(OutputFormat format, double width, double height);

// The output size for a source of the given width and height texts. nullopt when a side is 0 (also after
// scaling) or not a finite number: such a picture cannot be encoded.
std::optional<QSize> ComputeOutputSize(const QString& widthText, const QString& heightText);
std::optional<QSize> ComputeOutputSize(double width, double height);
bool IsEven(qint32 n);
