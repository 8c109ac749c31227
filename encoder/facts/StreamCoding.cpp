#include "encoder/facts/StreamCoding.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <sstream>

namespace {

bool IsNameCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_'
        || c == '.';
}

std::optional<long long> Whole(const std::string& text)
{
    char* end = nullptr;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value < 0)
        return std::nullopt;
    return value;
}

int Small(const std::string& text)
{
    const auto value = Whole(text);
    return value && *value <= 1000000000 ? static_cast<int>(*value) : 0;
}

// "16/15" or "1920x1080".
bool Pair(const std::string& text, char separator, int& first, int& second)
{
    const size_t at = text.find(separator);
    if (at == std::string::npos)
        return false;
    first = Small(text.substr(0, at));
    second = Small(text.substr(at + 1));
    return true;
}

std::string RatioText(const Ratio& ratio)
{
    return std::to_string(ratio.num) + "/" + std::to_string(ratio.den);
}

// Whole numbers as "1-2-3".
std::string NumbersText(const std::vector<int64_t>& numbers)
{
    std::string text;
    for (const int64_t number : numbers)
        text += (text.empty() ? "" : "-") + std::to_string(number);
    return text;
}

// `count` whole numbers from such a text; empty when it holds anything else.
std::vector<int64_t> Numbers(const std::string& text, size_t count)
{
    std::vector<int64_t> numbers;
    size_t from = 0;
    while (from <= text.size()) {
        const size_t dash = std::min(text.find('-', from), text.size());
        const auto number = Whole(text.substr(from, dash - from));
        if (!number)
            return {};
        numbers.push_back(*number);
        from = dash + 1;
    }
    return numbers.size() == count ? numbers : std::vector<int64_t> {};
}

// Pictures per "packets" line: lines stay short enough to read and write in one piece.
constexpr size_t kPacketsPerLine = 512;

} // namespace

std::string CodingName(const std::string& name)
{
    std::string out;
    for (char c : name) {
        if (c == ' ')
            out += '-';
        else if (IsNameCharacter(c))
            out += c;
    }
    return out;
}

std::string FormatStreamCoding(const StreamCoding& coding)
{
    std::string line = "coding";
    const auto add = [&line](const char* key, const std::string& value) {
        if (!value.empty())
            line += std::string(" ") + key + "=" + value;
    };
    add("codec", CodingName(coding.codec));
    add("profile", CodingName(coding.profile));
    add("pixels", CodingName(coding.pixelFormat));
    if (coding.level > 0)
        add("level", std::to_string(coding.level));
    if (coding.width > 0 && coding.height > 0)
        add("size", std::to_string(coding.width) + "x" + std::to_string(coding.height));
    if (coding.turned)
        add("turned", "1");
    if (coding.containerAspect.stated())
        add("aspect", RatioText(coding.containerAspect));
    if (coding.codedAspect.stated())
        add("coded-aspect", RatioText(coding.codedAspect));
    if (coding.channels > 0)
        add("channels", std::to_string(coding.channels));
    if (coding.sampleRate > 0)
        add("rate", std::to_string(coding.sampleRate));
    if (coding.bitsPerSecond > 0)
        add("bps", std::to_string(coding.bitsPerSecond));
    if (coding.startsWithKeyFrame)
        add("first-key", "1");
    add("tag", CodingName(coding.tag));
    if (coding.headerSets)
        add("header-sets", "1");
    add("dolby-vision", CodingName(coding.dolbyVision));
    add("mastering", NumbersText(coding.mastering));
    add("light", NumbersText(coding.lightLevel));
    if (coding.reorders)
        add("reorders", "1");
    if (coding.shownTimes)
        add("shown-times", "1");
    if (line == "coding")
        return std::string();
    std::string text = line + "\n";
    for (size_t i = 0; i < coding.packets.size(); i += kPacketsPerLine) {
        text += "packets";
        for (size_t k = i; k < coding.packets.size() && k < i + kPacketsPerLine; ++k) {
            char packet[64];
            std::snprintf(packet, sizeof packet, " %.6f:%" PRId64, coding.packets[k].seconds, coding.packets[k].bytes);
            text += packet;
        }
        text += "\n";
    }
    return text;
}

bool ParseStreamCodingLine(const std::string& line, StreamCoding& coding)
{
    std::istringstream words(line);
    std::string word;
    if (!(words >> word) || (word != "coding" && word != "packets"))
        return false;
    const bool packets = word == "packets";
    while (words >> word) {
        const size_t at = word.find(packets ? ':' : '=');
        if (at == std::string::npos)
            continue;
        const std::string key = word.substr(0, at);
        const std::string value = word.substr(at + 1);
        if (packets) {
            char* end = nullptr;
            const double seconds = std::strtod(key.c_str(), &end);
            const auto bytes = Whole(value);
            if (end != key.c_str() && *end == '\0' && bytes)
                coding.packets.push_back({seconds, *bytes});
        } else if (key == "codec") {
            coding.codec = value;
        } else if (key == "profile") {
            coding.profile = value;
        } else if (key == "pixels") {
            coding.pixelFormat = value;
        } else if (key == "level") {
            coding.level = Small(value);
        } else if (key == "size") {
            Pair(value, 'x', coding.width, coding.height);
        } else if (key == "turned") {
            coding.turned = value == "1";
        } else if (key == "aspect") {
            Pair(value, '/', coding.containerAspect.num, coding.containerAspect.den);
        } else if (key == "coded-aspect") {
            Pair(value, '/', coding.codedAspect.num, coding.codedAspect.den);
        } else if (key == "channels") {
            coding.channels = Small(value);
        } else if (key == "rate") {
            coding.sampleRate = Small(value);
        } else if (key == "bps") {
            coding.bitsPerSecond = Whole(value).value_or(0);
        } else if (key == "first-key") {
            coding.startsWithKeyFrame = value == "1";
        } else if (key == "tag") {
            coding.tag = value;
        } else if (key == "header-sets") {
            coding.headerSets = value == "1";
        } else if (key == "dolby-vision") {
            coding.dolbyVision = value;
        } else if (key == "mastering") {
            coding.mastering = Numbers(value, 10);
        } else if (key == "light") {
            coding.lightLevel = Numbers(value, 2);
        } else if (key == "reorders") {
            coding.reorders = value == "1";
        } else if (key == "shown-times") {
            coding.shownTimes = value == "1";
        }
    }
    return true;
}
