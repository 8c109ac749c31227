#pragma once

#include <string>
#include <string_view>

// Why an encode left no output, as one line the program reads and translates:
// "ffmpeg.exe: failed: KIND DETAIL". KIND is one word; DETAIL is the rest of the line, in the encoder's own
// words (its last error line), or for a source cut short the two durations "OUTPUT DECLARED" in seconds.
enum class FailureKind {
    SourceShort, // the output lasts clearly less than the source declares: cut short or damaged
    DestinationFull, // the disk or the user's quota filled up
    DestinationUnwritable, // the destination refused the file for another reason
    EncoderError, // the encoder stopped with an error of its own
    EncoderMissing, // the system's ffmpeg could not be found or started
    Cancelled, // a stop request ended the run
    SourceIsOutput, // the output name is another spelling of the source
    NameTaken, // a file carries the output's name and replacing it was not allowed
};

inline constexpr char kFailedMarker[] = "ffmpeg.exe: failed: ";

const char* FailureWord(FailureKind kind);

// The line, ending in a line feed; line breaks inside the detail become spaces.
std::string FailureLine(FailureKind kind, std::string_view detail);

// What the system's words on a failed write of the output (strerror's text) mean.
FailureKind WriteFailure(std::string_view why);

// Whether a message of ffmpeg's or of the system says the disk or the quota is full.
bool MeansNoSpace(std::string_view text);

// Whether the file system holding `folder` has no room left for the user at all.
bool FolderIsFull(const std::string& folder);

// Keeps what ffmpeg's warnings and errors say about a failure: its last error line, and whether any
// message said the destination ran out of room (ffmpeg may still exit with 0 then).
class EncoderErrors
{
public:
    // One message of ffmpeg's at `level` ("warning", "error", "fatal", "panic"), tags included.
    void Note(std::string_view level, const std::string& line);

    const std::string& lastError() const { return lastError_; }
    bool noSpace() const { return noSpace_; }

private:
    std::string lastError_;
    bool noSpace_ = false;
};
