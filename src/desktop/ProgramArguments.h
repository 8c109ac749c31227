#pragma once

#include "ConvertArguments.h"

#include <QString>
#include <QStringList>
#include <optional>

// What the command line asks for: files to list, or a text to print before ending at once.
struct ProgramArguments
{
    QStringList files;
    std::optional<int> exitCode; // set when the program ends without opening its window
    QString output; // printed on standard output (exit code 0) or standard error
    // Set for `--convert`: the batch runs without a window.
    std::optional<ConvertArguments> convert;
};

// Reads `reelpocket [FILE...]`, `reelpocket --convert [options] FILE...`, `--help` and `--version`; Qt's
// own options pass (but not with --convert, which has no window for them). Needs no application
// object, so help, version and a wrong option are answered without a display.
ProgramArguments ReadProgramArguments(const QStringList& arguments);
// A path of the command line as a native absolute path, a relative one taken from `startFolder`.
QString ArgumentPath(const QString& path, const QString& startFolder);
// The command line's files as native absolute paths, relative ones taken from `startFolder`, split into
// those that exist and those that do not.
struct ArgumentFiles
{
    QStringList existing;
    QStringList missing;
};
ArgumentFiles FindArgumentFiles(const QStringList& files, const QString& startFolder);
