#include "encoder/run/FailureReason.h"

#include <sys/statvfs.h>

namespace {

// "[mp4 @ 0x55d0c0a1b2c0] Error ..." reads as "[mp4] Error ...": the address tells the user nothing.
std::string WithoutAddresses(const std::string& line)
{
    std::string out;
    size_t pos = 0;
    while (pos < line.size()) {
        const size_t at = line.find(" @ 0x", pos);
        const size_t close = at == std::string::npos ? std::string::npos : line.find(']', at);
        if (close == std::string::npos) {
            out.append(line, pos, std::string::npos);
            break;
        }
        out.append(line, pos, at - pos);
        pos = close;
    }
    return out;
}

} // namespace

const char* FailureWord(FailureKind kind)
{
    switch (kind) {
    case FailureKind::SourceShort:
        return "source-short";
    case FailureKind::DestinationFull:
        return "destination-full";
    case FailureKind::DestinationUnwritable:
        return "destination-unwritable";
    case FailureKind::EncoderError:
        return "encoder-error";
    case FailureKind::EncoderMissing:
        return "encoder-missing";
    case FailureKind::Cancelled:
        return "cancelled";
    case FailureKind::SourceIsOutput:
        return "source-is-output";
    case FailureKind::NameTaken:
        return "name-taken";
    }
    return "encoder-error";
}

std::string FailureLine(FailureKind kind, std::string_view detail)
{
    std::string line = std::string(kFailedMarker) + FailureWord(kind);
    if (!detail.empty()) {
        line += ' ';
        for (const char c : detail)
            line += c == '\n' || c == '\r' ? ' ' : c;
    }
    return line + "\n";
}

FailureKind WriteFailure(std::string_view why)
{
    return MeansNoSpace(why) ? FailureKind::DestinationFull : FailureKind::DestinationUnwritable;
}

bool MeansNoSpace(std::string_view text)
{
    return text.find("No space left on device") != std::string_view::npos
        || text.find("Disk quota exceeded") != std::string_view::npos;
}

bool FolderIsFull(const std::string& folder)
{
    struct statvfs facts;
    if (::statvfs(folder.empty() ? "." : folder.c_str(), &facts) != 0)
        return false;
    return facts.f_bavail == 0;
}

void EncoderErrors::Note(std::string_view level, const std::string& line)
{
    if (MeansNoSpace(line))
        noSpace_ = true;
    if (level != "error" && level != "fatal" && level != "panic")
        return;
    // ffmpeg's closing words say only that something before them failed.
    if (line.find("Conversion failed!") != std::string::npos)
        return;
    lastError_ = WithoutAddresses(line);
}
