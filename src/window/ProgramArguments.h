#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class Form1;

// What the command line asks for: files to list, or a text to print before ending at once.
struct ProgramArguments
{
    QStringList files;
    std::optional<int> exitCode; // set when the program ends without opening its window
    QString output; // printed on standard output (exit code 0) or standard error
};

// Reads `reelpocket [FILE...]`, `--help` and `--version`; Qt's own options pass. Needs no application
// object, so help, version and a wrong option are answered without a display.
ProgramArguments ReadProgramArguments(const QStringList& arguments);

// Adds the command line's files to the list as a drop does, relative paths taken from `startFolder`;
// the ones that do not exist are left out and named in one message.
void AddArgumentFiles(Form1& f, const QStringList& files, const QString& startFolder);
