#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

// When, where and with what a video was recorded, as its file states it. An output keeps these so that a
// phone's library files it under the day it was filmed, at its place; nothing else of the source's tags.
struct CaptureFacts
{
    std::optional<long long> utcSeconds; // the moment of recording, seconds since 1970-01-01 UTC
    std::optional<int> offsetMinutes; // the recording's own time zone, east of UTC, when the file states it
    std::string place; // ISO 6709, "+48.8584+002.2945+035.000/"
    std::string make;
    std::string model;

    bool empty() const { return !utcSeconds && place.empty() && make.empty() && model.empty(); }
};

// Tags as libavformat names them, keys in lower case.
using Tags = std::map<std::string, std::string>;

// What the file's own tags and its video stream's tags say.
CaptureFacts ReadCaptureFacts(const Tags& file, const Tags& video);

struct StatedTime
{
    long long utcSeconds = 0;
    std::optional<int> offsetMinutes; // only when the text names one ("+0200", "-07:00"); "Z" names UTC
};

// "2024-05-01T12:00:00+0200", "2024-05-01T10:00:00.000000Z", "2024-05-01 10:00", "2024:05:01 10:00:00",
// "2024-05-01"; without a zone a time is UTC, and a date alone is its midnight in this machine's zone. nullopt
// for anything else, and for any time on 1970-01-01 or earlier, the value of a clock that was never set.
std::optional<StatedTime> ParseStatedTime(const std::string& text);

// "YYYY-MM-DDTHH:MM:SS" followed by "Z" (no offset) or "+HHMM".
std::string FormatStatedTime(long long utcSeconds, std::optional<int> offsetMinutes);

// The offset east of UTC of this machine's time zone at that moment.
int LocalOffsetMinutes(long long utcSeconds);

// Lines "capture KEY VALUE" of the text the probe module hands to the bridge.
std::string FormatCaptureLines(const CaptureFacts& facts);
// Reads one such line into `facts`; false when the line is not one.
bool ReadCaptureLine(const std::string& line, CaptureFacts& facts);

// The text that keeps `bytes` of room in a tag ffmpeg writes: found again by MovieTags.
std::string RoomMarker(size_t bytes);

// What ffmpeg's MP4 muxer is told: none of the source's own tags, the moment of recording as the movie's
// and the tracks' creation time, and, when `reserve` is not 0, a comment of that many bytes that keeps room
// in the movie's user data for the tags it cannot write itself (see MovieTags).
std::vector<std::string> CaptureArguments(const CaptureFacts& facts, size_t reserve);
