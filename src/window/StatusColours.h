#pragma once

#include <QColor>

class QWidget;

// WCAG relative luminance (0 black .. 1 white) and the contrast ratio of two colours (1 .. 21).
double RelativeLuminance(const QColor& colour);
double ContrastRatio(const QColor& a, const QColor& b);

// The status colour as designed on a light background; on a dark one, a lighter tint of the same hue
// that keeps a contrast of at least 4.5:1, so the text stays readable.
QColor ReadableColour(const QColor& designed, const QColor& background);

// Sets a widget's text colour, made readable against its window background.
void SetStatusColour(QWidget* widget, const QColor& designed);
