#include "encoder/run/FfmpegLog.h"

#include <cstdlib>

namespace {

bool IsLevel(std::string_view tag)
{
    for (const char* level : {"quiet", "panic", "fatal", "error", "warning", "info", "verbose", "debug", "trace"})
        if (tag == level)
            return true;
    return false;
}

// "HH:MM:SS.cc" to seconds; nullopt for "N/A" or anything else.
std::optional<double> ClockSeconds(const std::string& text)
{
    const char* p = text.c_str();
    double total = 0;
    for (int part = 0; part < 3; ++part) {
        char* end = nullptr;
        const double value = part < 2 ? static_cast<double>(std::strtol(p, &end, 10)) : std::strtod(p, &end);
        if (end == p || value < 0)
            return std::nullopt;
        total = total * 60 + value;
        if (part < 2) {
            if (*end != ':')
                return std::nullopt;
            p = end + 1;
        }
    }
    return total;
}

} // namespace

std::string FfmpegLog::Feed(std::string_view data)
{
    std::string out;
    for (const std::string& line : lines_.Feed(data))
        out += Line(line);
    return out;
}

std::string FfmpegLog::Finish()
{
    const std::string rest = lines_.TakeRest();
    return rest.empty() ? std::string() : Line(rest);
}

std::string FfmpegLog::Line(const std::string& line)
{
    // The level tag follows the "[name @ 0x...] " tags of the objects that logged the line.
    size_t pos = 0;
    std::string_view level;
    while (pos < line.size() && line[pos] == '[') {
        const size_t close = line.find("] ", pos);
        if (close == std::string::npos)
            break;
        const std::string_view tag = std::string_view(line).substr(pos + 1, close - pos - 1);
        if (IsLevel(tag)) {
            level = tag;
            break;
        }
        pos = close + 2;
    }
    if (level.empty())
        return line + "\n"; // not from the logger: shown as it is
    const std::string prefix = line.substr(0, pos);
    const std::string text = line.substr(pos + level.size() + 3);
    if (text.find("Estimating duration from bitrate") != std::string::npos)
        estimated_ = true;
    if (level != "info" && level != "verbose" && level != "debug" && level != "trace") {
        errors_.Note(level, prefix + text);
        return prefix + text + "\n";
    }
    // The input's description comes first: "  Duration: 00:01:23.45, start: ...".
    if (prefix.empty() && !inputDone_) {
        if (text.rfind("Output #", 0) == 0 || text.rfind("Stream mapping:", 0) == 0) {
            inputDone_ = true;
        } else if (!declared_ && text.rfind("  Duration: ", 0) == 0) {
            const size_t comma = text.find(',');
            declared_ = ClockSeconds(text.substr(12, comma == std::string::npos ? std::string::npos : comma - 12));
        }
    }
    return std::string();
}
