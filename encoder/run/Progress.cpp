#include "encoder/run/Progress.h"

#include <cstdio>
#include <cstdlib>

namespace {

// Numbers in the progress stream; "N/A" (or anything unreadable) counts as unknown.
bool ReadNumber(const std::string& text, double& value)
{
    const char* begin = text.c_str();
    while (*begin == ' ')
        ++begin;
    char* end = nullptr;
    const double v = std::strtod(begin, &end);
    if (end == begin)
        return false;
    value = v;
    return true;
}

} // namespace

std::vector<ProgressFigures> ProgressReader::Feed(std::string_view data)
{
    std::vector<ProgressFigures> done;
    for (std::string& line : lines_.Feed(data)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        Line(line, done);
    }
    return done;
}

void ProgressReader::Line(const std::string& line, std::vector<ProgressFigures>& done)
{
    const auto eq = line.find('=');
    if (eq == std::string::npos)
        return;
    const std::string key = line.substr(0, eq);
    const std::string value = line.substr(eq + 1);
    double number = 0;
    if (key == "total_size") {
        if (ReadNumber(value, number) && number >= 0)
            current_.sizeBytes = number;
    } else if (key == "out_time_us") {
        if (ReadNumber(value, number))
            current_.seconds = number > 0 ? number / 1e6 : 0;
    } else if (key == "bitrate") {
        bitrate_ = value;
    } else if (key == "progress") {
        if (!ReadNumber(bitrate_, current_.kbitsPerSecond)) {
            current_.kbitsPerSecond = current_.seconds > 0 ? current_.sizeBytes * 8 / current_.seconds / 1000 : 0;
        }
        current_.end = value == "end";
        done.push_back(current_);
    }
}

std::string FormatReport(const ProgressFigures& figures)
{
    char text[128];
    std::snprintf(text, sizeof text, "size=%8.0fkB time=%0.2f bitrate=%6.1fkbits/s", figures.sizeBytes / 1024,
                  figures.seconds, figures.kbitsPerSecond);
    return text;
}
