#include "encoder/common/Console.h"

#include "encoder/common/FileIo.h"

#include <unistd.h>

void Console::Message(const std::string& text)
{
    if (text.empty())
        return;
    EndReports();
    Write(text);
}

void Console::Report(const std::string& report)
{
    Write(report + "\r");
    reportOpen_ = true;
}

void Console::EndReports()
{
    if (reportOpen_)
        Write("\n");
    reportOpen_ = false;
}

void Console::Write(const std::string& text)
{
    // When the reader is gone there is nothing useful to do with the text.
    WriteAll(STDERR_FILENO, text);
}
