#pragma once

#include "desktop/ConvertArguments.h"

// Exit statuses of a command-line batch.
namespace ConvertExit {
constexpr int AllConverted = 0;
constexpr int SomeFailed = 1;
// Refused, or answered No, before anything was encoded.
constexpr int NothingEncoded = 2;
constexpr int Interrupted = 130;
} // namespace ConvertExit

// Runs `reelpocket --convert`: the window's batch with the user's saved preferences, overridden for this
// run by the options, progress on standard output and messages on standard error. Needs an application
// object but no GUI one; relative names are taken from `startFolder`. Returns the exit status.
int RunConsoleBatch(const ConvertArguments& arguments, const QString& startFolder);
