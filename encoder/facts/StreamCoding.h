#pragma once

#include <cstdint>
#include <string>
#include <vector>

// How a stream is coded, as far as deciding whether it can be copied into the output as it is. Names are
// FFmpeg's, with blanks as "-" and other signs left out ("High 4:4:4 Predictive" is "High-444-Predictive").
struct Ratio
{
    int num = 0;
    int den = 0; // 0/0: not stated
    bool stated() const { return num > 0 && den > 0; }
};

// One picture of the video in decoding order: when it is decoded, and its size.
struct PacketFacts
{
    double seconds = 0;
    int64_t bytes = 0;
};

struct StreamCoding
{
    std::string codec; // "h264", "aac", ...
    std::string profile; // "High", "Constrained-Baseline", "LC", "HE-AAC", ...
    int level = 0; // as the stream states it (H.264: 41 for 4.1); 0 when not known
    std::string pixelFormat; // "yuv420p", "yuv420p10le", ...
    int width = 0;
    int height = 0;
    bool turned = false; // shown turned a quarter, so upright its sides swap
    Ratio containerAspect; // the pixel aspect the file states
    Ratio codedAspect; // the pixel aspect the video itself states
    int channels = 0;
    int sampleRate = 0;
    int64_t bitsPerSecond = 0; // 0 when not known
    // Read only for a video that might be copied, all of its pictures; empty otherwise.
    std::vector<PacketFacts> packets;
    bool startsWithKeyFrame = false;
    std::string tag; // the stream's codec tag as the file states it: "hvc1", "hev1", "avc1"; empty when none
    bool headerSets = false; // HEVC: the stream's header holds its VPS, SPS and PPS
    std::string dolbyVision; // the Dolby Vision configuration: "8.4" (profile.compatibility); empty when none
    // HDR10's mastering display and light levels, when the file states them in its container: x265's numbers
    // (chromaticity in 0.00002, luminance in 0.0001 cd/m2) for G, B, R, white point, max and min luminance; and
    // MaxCLL, MaxFALL.
    std::vector<int64_t> mastering;
    std::vector<int64_t> lightLevel;
    bool reorders = false; // pictures are shown in another order than they are decoded (B-frames)
    bool shownTimes = false; // the file states when each read picture is shown, not only when it is decoded
};

// The lines that follow a stream's own line in the facts' text: "coding ..." and, for a read video,
// "packets ..." (empty when nothing is known).
std::string FormatStreamCoding(const StreamCoding& coding);
// Takes a line FormatStreamCoding made into `coding`; false when the line is none of those.
bool ParseStreamCodingLine(const std::string& line, StreamCoding& coding);
// A name as FFmpeg spells it, in the form above.
std::string CodingName(const std::string& name);
