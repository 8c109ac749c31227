#include "encoder/facts/SourceFacts.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace {

const char* KindName(StreamFacts::Kind kind)
{
    switch (kind) {
    case StreamFacts::Kind::Video:
        return "video";
    case StreamFacts::Kind::Audio:
        return "audio";
    case StreamFacts::Kind::Subtitle:
        return "subtitle";
    case StreamFacts::Kind::Other:
        break;
    }
    return "other";
}

StreamFacts::Kind KindOf(const std::string& name)
{
    if (name == "video")
        return StreamFacts::Kind::Video;
    if (name == "audio")
        return StreamFacts::Kind::Audio;
    if (name == "subtitle")
        return StreamFacts::Kind::Subtitle;
    return StreamFacts::Kind::Other;
}

// A name as FFmpeg spells it: anything else is dropped, so a value never carries a blank or a line break.
bool IsPlainName(const std::string& value)
{
    if (value.empty())
        return false;
    for (char c : value)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_'
              || c == '.'))
            return false;
    return true;
}

void AddName(std::string& line, const char* key, const std::string& value)
{
    if (IsPlainName(value))
        line += std::string(" ") + key + "=" + value;
}

std::optional<double> ParseSeconds(const std::string& text)
{
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0' || !(value > 0) || value > 1e9)
        return std::nullopt;
    return value;
}

const char kSubtitleProblem[] = "subtitles-unreadable ";

} // namespace

std::string FormatSourceFacts(const SourceFacts& facts)
{
    std::string text;
    for (const StreamFacts& stream : facts.streams) {
        std::string line = std::string("stream ") + KindName(stream.kind);
        line += stream.isDefault ? " default=1" : " default=0";
        if (stream.cover)
            line += " cover=1";
        AddName(line, "field", stream.fieldOrder);
        AddName(line, "transfer", stream.transfer);
        AddName(line, "primaries", stream.primaries);
        AddName(line, "matrix", stream.matrix);
        AddName(line, "range", stream.range);
        if (stream.seconds && *stream.seconds > 0) {
            char seconds[64];
            std::snprintf(seconds, sizeof seconds, " seconds=%.6f", *stream.seconds);
            line += seconds;
        }
        text += line + "\n" + FormatStreamCoding(stream.coding);
    }
    if (!facts.subtitleProblem.empty()) {
        std::string problem = facts.subtitleProblem;
        for (char& c : problem)
            if (c == '\n' || c == '\r')
                c = ' ';
        text += kSubtitleProblem + problem + "\n";
    }
    return text + FormatCaptureLines(facts.capture);
}

std::optional<SourceFacts> ParseSourceFacts(const std::string& text)
{
    SourceFacts facts;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(kSubtitleProblem, 0) == 0) {
            facts.subtitleProblem = line.substr(sizeof kSubtitleProblem - 1);
            if (facts.subtitleProblem.empty())
                facts.subtitleProblem = "unreadable";
            continue;
        }
        if (ReadCaptureLine(line, facts.capture))
            continue;
        if (!facts.streams.empty() && ParseStreamCodingLine(line, facts.streams.back().coding))
            continue;
        std::istringstream words(line);
        std::string word;
        if (!(words >> word) || word != "stream" || !(words >> word))
            continue;
        StreamFacts stream;
        stream.kind = KindOf(word);
        while (words >> word) {
            const size_t eq = word.find('=');
            if (eq == std::string::npos)
                continue;
            const std::string key = word.substr(0, eq);
            const std::string value = word.substr(eq + 1);
            if (key == "default")
                stream.isDefault = value == "1";
            else if (key == "cover")
                stream.cover = value == "1";
            else if (key == "field")
                stream.fieldOrder = value;
            else if (key == "transfer")
                stream.transfer = value;
            else if (key == "primaries")
                stream.primaries = value;
            else if (key == "matrix")
                stream.matrix = value;
            else if (key == "range")
                stream.range = value;
            else if (key == "seconds")
                stream.seconds = ParseSeconds(value);
        }
        facts.streams.push_back(stream);
    }
    if (facts.streams.empty())
        return std::nullopt;
    return facts;
}

const StreamFacts* ChosenVideo(const SourceFacts& facts)
{
    for (const StreamFacts& stream : facts.streams)
        if (stream.kind == StreamFacts::Kind::Video && !stream.cover)
            return &stream;
    return nullptr;
}

std::optional<int> ChosenAudio(const SourceFacts& facts)
{
    int number = 0;
    std::optional<int> first;
    for (const StreamFacts& stream : facts.streams) {
        if (stream.kind != StreamFacts::Kind::Audio)
            continue;
        if (stream.isDefault)
            return number;
        if (!first)
            first = number;
        ++number;
    }
    return first;
}

const StreamFacts* AudioStream(const SourceFacts& facts, int number)
{
    for (const StreamFacts& stream : facts.streams)
        if (stream.kind == StreamFacts::Kind::Audio && number-- == 0)
            return &stream;
    return nullptr;
}

std::optional<double> CarriedSeconds(const SourceFacts& facts, bool withVideo, bool withAudio)
{
    std::optional<double> longest;
    const auto take = [&longest](const StreamFacts* stream) {
        if (stream && stream->seconds && (!longest || *stream->seconds > *longest))
            longest = stream->seconds;
    };
    if (withVideo)
        take(ChosenVideo(facts));
    if (const auto audio = ChosenAudio(facts); withAudio && audio)
        take(AudioStream(facts, *audio));
    return longest;
}

bool IsInterlaced(const StreamFacts& video)
{
    return video.fieldOrder == "tt" || video.fieldOrder == "bb" || video.fieldOrder == "tb" || video.fieldOrder == "bt";
}

bool IsHdr(const StreamFacts& video)
{
    return video.transfer == "smpte2084" || video.transfer == "arib-std-b67";
}
