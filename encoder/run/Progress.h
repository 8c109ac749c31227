#pragma once

#include "encoder/common/LineSplitter.h"

#include <string>
#include <string_view>
#include <vector>

// Figures of one block of ffmpeg's machine-readable progress output (-progress).
struct ProgressFigures
{
    double sizeBytes = 0;
    double seconds = 0;
    double kbitsPerSecond = 0;
    bool end = false;
};

class ProgressReader
{
public:
    // Takes the next bytes of the progress stream; returns the blocks it completed.
    std::vector<ProgressFigures> Feed(std::string_view data);

private:
    void Line(const std::string& line, std::vector<ProgressFigures>& done);
    LineSplitter lines_;
    ProgressFigures current_;
    std::string bitrate_;
};

// The report line the program reads: "size=    1024kB time=12.34 bitrate= 838.9kbits/s".
std::string FormatReport(const ProgressFigures& figures);
