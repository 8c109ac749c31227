#include "Console.h"

#include <cerrno>
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
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(STDERR_FILENO, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return; // the reader is gone; nothing useful to do with the text
        done += static_cast<size_t>(n);
    }
}
