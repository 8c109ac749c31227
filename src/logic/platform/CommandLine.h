#pragma once

#include <QStringList>

// Splits a command line into program and arguments the way Windows programs read theirs:
// blanks separate, double quotes group (and are removed). No shell is ever involved.
QStringList SplitCommandLine(const QString& commandLine);
