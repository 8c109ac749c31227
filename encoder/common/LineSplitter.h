#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Cuts bytes that arrive in pieces into lines. Each of the characters in `ends` ends a line on its own.
class LineSplitter
{
public:
    explicit LineSplitter(const char* ends = "\n")
        : ends_(ends)
    {
    }

    // Takes the next bytes; returns the lines they complete, without their ends.
    std::vector<std::string> Feed(std::string_view data);
    // The bytes after the last end, given up: a line that has not ended (yet).
    std::string TakeRest();
    size_t restSize() const { return partial_.size(); }

private:
    const char* ends_;
    std::string partial_;
};
