#pragma once

#include <QSize>
#include <QString>
#include <optional>

// The output picture's size: the longer side at most MaxSide, a computed side made even.

constexpr int MaxSide = 480;

// The output size for a source of the given width and height texts. nullopt when a side is 0 (also after
// scaling) or not a finite number: such a picture cannot be encoded.
std::optional<QSize> ComputeOutputSize(const QString& widthText, const QString& heightText);
std::optional<QSize> ComputeOutputSize(double width, double height);
bool IsEven(qint32 n);
