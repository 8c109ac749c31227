#include "encoder/probe/ProbeText.h"

#include <cstdio>

std::string DurationText(long long microseconds)
{
    if (microseconds < 0)
        microseconds = 0;
    const long long totalSeconds = microseconds / 1000000;
    const long long hundredths = microseconds % 1000000 / 10000;
    char text[64];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld.%02lld", totalSeconds / 3600, totalSeconds / 60 % 60,
                  totalSeconds % 60, hundredths);
    return text;
}

std::string StartText(long long microseconds)
{
    const long long whole = microseconds / 1000000;
    const long long micro = (microseconds < 0 ? -microseconds : microseconds) % 1000000;
    char text[64];
    std::snprintf(text, sizeof text, "%s%lld.%06lld", microseconds < 0 && whole == 0 ? "-" : "", whole, micro);
    return text;
}

std::string RateText(double rate)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.3f", rate);
    std::string text = buffer;
    while (text.back() == '0')
        text.pop_back();
    if (text.back() == '.')
        text.pop_back();
    return text;
}
