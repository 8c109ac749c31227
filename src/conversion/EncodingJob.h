#pragma once

#include <QSize>
#include <QString>

class Form1;

constexpr int MaxSide = 480;

// The probe command line for a source.
QString ProbeCommand(const QString& source);
// Checks row CurrentIndex against its probe output and stores its encoder command line. False when
// the batch must stop; the user has been told why and the cancelled look is shown.
bool PrepareJob(Form1& f, const QString& res);
// The output size for a source of the given width and height texts; nullopt-like (0x0) never happens
// for valid input, see the implementation for the zero-side case.
QSize ComputeOutputSize(const QString& widthText, const QString& heightText);
bool IsEven(qint32 n);
