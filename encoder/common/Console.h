#pragma once

#include <string>

// Everything the bridge prints goes to standard error, as the old encoders did, unbuffered so the reader
// sees each report as soon as it is made.
class Console
{
public:
    // Text that ends its own lines.
    void Message(const std::string& text);
    // A progress report: ends with a carriage return alone, so the next report overwrites it on a terminal.
    void Report(const std::string& report);
    // Closes a pending report line with a line feed.
    void EndReports();

private:
    void Write(const std::string& text);
    bool reportOpen_ = false;
};
