#include "encoder/run/MessageFilter.h"

#include <cctype>
#include <utility>

namespace {

// Numbers and addresses vary from one line of a flood to the next; the rest of the text does not.
std::string Key(const std::string& line)
{
    std::string key;
    for (size_t i = 0; i < line.size(); ++i) {
        if (std::isdigit(static_cast<unsigned char>(line[i]))) {
            while (i + 1 < line.size() && std::isxdigit(static_cast<unsigned char>(line[i + 1])))
                ++i;
            if (i + 1 < line.size() && line[i + 1] == 'x')
                ++i;
            while (i + 1 < line.size() && std::isxdigit(static_cast<unsigned char>(line[i + 1])))
                ++i;
            key += '#';
        } else {
            key += line[i];
        }
    }
    return key;
}

} // namespace

MessageFilter::MessageFilter(size_t maxLines, size_t maxLineLength)
    : maxLines_(maxLines)
    , maxLineLength_(maxLineLength)
    , lines_("\r\n")
{
}

std::string MessageFilter::Feed(std::string_view data)
{
    std::string out;
    for (std::string& line : lines_.Feed(data))
        out += Line(std::move(line));
    // A line without an end that keeps growing is cut into pieces.
    if (lines_.restSize() > maxLineLength_)
        out += Line(lines_.TakeRest());
    return out;
}

std::string MessageFilter::Finish()
{
    std::string out;
    if (std::string rest = lines_.TakeRest(); !rest.empty())
        out += Line(std::move(rest));
    out += FlushRepeats();
    if (suppressed_ > 0)
        out += "    (" + std::to_string(suppressed_) + " more messages not shown)\n";
    suppressed_ = 0;
    return out;
}

std::string MessageFilter::Line(std::string line)
{
    if (line.find_first_not_of(" \t") == std::string::npos)
        return std::string();
    if (line.size() > maxLineLength_)
        line = line.substr(0, maxLineLength_) + "...";
    const std::string key = Key(line);
    if (key == lastKey_) {
        ++repeats_;
        return std::string();
    }
    std::string out = FlushRepeats();
    lastKey_ = key;
    if (shown_ >= maxLines_) {
        ++suppressed_;
        return out;
    }
    ++shown_;
    return out + line + "\n";
}

std::string MessageFilter::FlushRepeats()
{
    if (repeats_ == 0)
        return std::string();
    const size_t repeats = repeats_;
    repeats_ = 0;
    if (shown_ >= maxLines_) {
        suppressed_ += repeats;
        return std::string();
    }
    ++shown_;
    return "    Last message repeated " + std::to_string(repeats) + " times\n";
}
