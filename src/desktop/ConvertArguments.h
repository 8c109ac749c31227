#pragma once

#include "conversion/OutputFormat.h"
#include "conversion/WhenDone.h"

#include <QString>
#include <QStringList>
#include <optional>

class QCommandLineParser;

// Who answers the batch's questions (replace an output, go on without room): the user on the terminal, or
// a fixed answer. Without a terminal nobody can be asked and the answer is No.
enum class Answers { Ask, Yes, No };

// `reelpocket --convert [options] FILE...`: what the run asks for. Options left out keep the user's saved
// preferences; none of them is saved.
struct ConvertArguments
{
    QStringList files;
    std::optional<QString> destination;
    std::optional<bool> subtitles;
    std::optional<OutputFormat> format;
    std::optional<QString> language;
    Answers answers = Answers::Ask;
    bool quiet = false;
    // Sources whose outputs exist are left alone instead of asked about.
    bool skipExisting = false;
    // After a batch that reached its end; quitting is what a command-line run does anyway.
    WhenDone then = WhenDone::Quit;
};

// Adds the options of a command-line batch to the program's parser.
void AddConvertOptions(QCommandLineParser& parser);
// Whether any of them was given (they mean nothing without --convert).
bool AnyConvertOption(const QCommandLineParser& parser);
// Read from a parsed command line: the run's arguments, or the error text when options contradict each other.
struct ConvertOptionsRead
{
    std::optional<ConvertArguments> arguments;
    QString error; // set when there are no arguments
};
ConvertOptionsRead ReadConvertOptions(const QCommandLineParser& parser);
