#include "encoder/capture/CaptureFacts.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

const char kLine[] = "capture ";

std::string Trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string Find(const Tags& tags, const char* key)
{
    const auto found = tags.find(key);
    return found == tags.end() ? std::string() : found->second;
}

// A device name as a tag may carry it: one line, no control characters, at most 255 bytes (not cut inside a
// character).
std::string CleanName(const std::string& value)
{
    std::string text;
    for (char c : value)
        text += static_cast<unsigned char>(c) < 0x20 || c == 0x7f ? ' ' : c;
    text = Trimmed(text);
    if (text.size() > 255) {
        size_t end = 255;
        while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
            --end;
        text = Trimmed(text.substr(0, end));
    }
    return text;
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// ISO 6709: a signed latitude, a signed longitude and perhaps a signed altitude, then "/", as phones and
// cameras write it ("+48.8584+002.2945+035.000/"); empty for anything else.
std::string CleanPlace(const std::string& value)
{
    std::string text = Trimmed(value);
    if (!text.empty() && text.back() == '/')
        text.pop_back();
    size_t at = 0;
    int numbers = 0;
    while (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        const size_t start = ++at;
        while (at < text.size() && IsDigit(text[at]))
            ++at;
        if (at == start || at - start > 7)
            return std::string();
        if (at < text.size() && text[at] == '.') {
            const size_t fraction = ++at;
            while (at < text.size() && IsDigit(text[at]))
                ++at;
            if (at == fraction)
                return std::string();
        }
        ++numbers;
    }
    if (numbers < 2 || numbers > 3)
        return std::string();
    // A named reference system may follow ("CRSWGS_84").
    if (at < text.size()) {
        if (text.compare(at, 3, "CRS") != 0 || at + 3 == text.size())
            return std::string();
        for (size_t i = at + 3; i < text.size(); ++i)
            if (!IsDigit(text[i]) && !(text[i] >= 'A' && text[i] <= 'Z') && text[i] != '_')
                return std::string();
    }
    return text + "/";
}

} // namespace

std::optional<StatedTime> ParseStatedTime(const std::string& raw)
{
    const std::string text = Trimmed(raw);
    size_t at = 0;
    const auto number = [&](size_t digits, int& value) {
        value = 0;
        for (size_t i = 0; i < digits; ++i, ++at) {
            if (at >= text.size() || !IsDigit(text[at]))
                return false;
            value = value * 10 + (text[at] - '0');
        }
        return true;
    };
    const auto take = [&](const char* options) {
        if (at < text.size() && std::strchr(options, text[at])) {
            ++at;
            return true;
        }
        return false;
    };
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (!number(4, year) || !take("-:") || !number(2, month) || !take("-:") || !number(2, day))
        return std::nullopt;
    const bool timed = take("T ");
    if (timed) {
        if (!number(2, hour) || !take(":") || !number(2, minute))
            return std::nullopt;
        if (take(":")) {
            if (!number(2, second))
                return std::nullopt;
            if (take(".,"))
                while (at < text.size() && IsDigit(text[at]))
                    ++at;
        }
    }
    std::optional<int> offset;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        const int sign = text[at++] == '-' ? -1 : 1;
        int hours = 0;
        int minutes = 0;
        if (!number(2, hours))
            return std::nullopt;
        take(":");
        if (at < text.size() && !number(2, minutes))
            return std::nullopt;
        if (hours > 14 || minutes > 59)
            return std::nullopt;
        offset = sign * (hours * 60 + minutes);
    } else {
        take("Zz");
    }
    if (at != text.size() || month < 1 || month > 12 || day < 1 || hour > 23 || minute > 59 || second > 60)
        return std::nullopt;
    std::tm fields {};
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_hour = hour;
    fields.tm_min = minute;
    fields.tm_sec = second == 60 ? 59 : second;
    std::tm local = fields;
    const long long clock = static_cast<long long>(::timegm(&fields));
    // timegm carries an impossible day into the next month.
    if (fields.tm_mday != day || fields.tm_mon != month - 1)
        return std::nullopt;
    // A clock never set starts at 1970-01-01, and runs a while before anyone films.
    if (clock < 24 * 60 * 60)
        return std::nullopt;
    // A whole day is that day where the file is converted: its midnight here, not in London.
    if (!timed && !offset) {
        local.tm_isdst = -1;
        const long long midnight = static_cast<long long>(::mktime(&local));
        return midnight > 0 ? std::optional<StatedTime>(StatedTime {midnight, std::nullopt}) : std::nullopt;
    }
    const long long utc = clock - offset.value_or(0) * 60LL;
    return StatedTime {utc, offset};
}

std::string FormatStatedTime(long long utcSeconds, std::optional<int> offsetMinutes)
{
    const std::time_t shown = static_cast<std::time_t>(utcSeconds + offsetMinutes.value_or(0) * 60LL);
    std::tm fields {};
    ::gmtime_r(&shown, &fields);
    char text[64];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &fields);
    std::string result = text;
    if (!offsetMinutes)
        return result + "Z";
    const int minutes = *offsetMinutes < 0 ? -*offsetMinutes : *offsetMinutes;
    std::snprintf(text, sizeof text, "%c%02d%02d", *offsetMinutes < 0 ? '-' : '+', minutes / 60, minutes % 60);
    return result + text;
}

int LocalOffsetMinutes(long long utcSeconds)
{
    const std::time_t moment = static_cast<std::time_t>(utcSeconds);
    std::tm fields {};
    if (!::localtime_r(&moment, &fields))
        return 0;
    return static_cast<int>(fields.tm_gmtoff / 60);
}

CaptureFacts ReadCaptureFacts(const Tags& file, const Tags& video)
{
    CaptureFacts facts;
    // Apple's own date first: it keeps the zone the video was filmed in. Then Matroska's recording date, the
    // container's creation time, the video track's, and a plain date tag (AVI, MP4) when it is a whole date.
    const std::string dates[] = {Find(file, "com.apple.quicktime.creationdate"), Find(file, "date_recorded"),
                                 Find(file, "creation_time"), Find(video, "creation_time"), Find(file, "date")};
    for (const std::string& date : dates) {
        if (const auto stated = ParseStatedTime(date)) {
            facts.utcSeconds = stated->utcSeconds;
            facts.offsetMinutes = stated->offsetMinutes;
            break;
        }
    }
    for (const char* key : {"com.apple.quicktime.location.iso6709", "location"})
        if (facts.place.empty())
            facts.place = CleanPlace(Find(file, key));
    for (const char* key : {"com.apple.quicktime.make", "make"})
        if (facts.make.empty())
            facts.make = CleanName(Find(file, key));
    for (const char* key : {"com.apple.quicktime.model", "model"})
        if (facts.model.empty())
            facts.model = CleanName(Find(file, key));
    return facts;
}

std::string FormatCaptureLines(const CaptureFacts& facts)
{
    std::string text;
    if (facts.utcSeconds)
        text += kLine + std::string("time ") + std::to_string(*facts.utcSeconds) + "\n";
    if (facts.offsetMinutes)
        text += kLine + std::string("offset ") + std::to_string(*facts.offsetMinutes) + "\n";
    const std::pair<const char*, const std::string*> texts[]
        = {{"place ", &facts.place}, {"make ", &facts.make}, {"model ", &facts.model}};
    for (const auto& [key, value] : texts)
        if (!value->empty())
            text += kLine + std::string(key) + CleanName(*value) + "\n";
    return text;
}

bool ReadCaptureLine(const std::string& line, CaptureFacts& facts)
{
    if (line.rfind(kLine, 0) != 0)
        return false;
    const std::string rest = line.substr(sizeof kLine - 1);
    const size_t space = rest.find(' ');
    const std::string key = rest.substr(0, space);
    const std::string value = space == std::string::npos ? std::string() : rest.substr(space + 1);
    char* end = nullptr;
    const long long number = std::strtoll(value.c_str(), &end, 10);
    const bool isNumber = !value.empty() && *end == '\0';
    if (key == "time" && isNumber && number > 0)
        facts.utcSeconds = number;
    else if (key == "offset" && isNumber && number >= -14 * 60 && number <= 14 * 60)
        facts.offsetMinutes = static_cast<int>(number);
    else if (key == "place")
        facts.place = CleanPlace(value);
    else if (key == "make")
        facts.make = CleanName(value);
    else if (key == "model")
        facts.model = CleanName(value);
    return true;
}

std::string RoomMarker(size_t bytes)
{
    return std::string(bytes, ' ');
}

std::vector<std::string> CaptureArguments(const CaptureFacts& facts, size_t reserve)
{
    // ffmpeg would copy the source's other tags (titles, comments, the software that made it).
    std::vector<std::string> args = {"-map_metadata", "-1"};
    if (facts.utcSeconds)
        args.insert(args.end(), {"-metadata", "creation_time=" + FormatStatedTime(*facts.utcSeconds, std::nullopt)});
    if (reserve > 0)
        args.insert(args.end(), {"-metadata", "comment=" + RoomMarker(reserve)});
    return args;
}
