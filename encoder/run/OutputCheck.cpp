#include "encoder/run/OutputCheck.h"

#include "encoder/plan/ContainerFormat.h"

#include "encoder/common/FileIo.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

uint32_t Be32(std::string_view bytes, size_t at)
{
    return static_cast<uint32_t>(static_cast<unsigned char>(bytes[at])) << 24
        | static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 16
        | static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 2])) << 8
        | static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 3]));
}

uint64_t Be64(std::string_view bytes, size_t at)
{
    return static_cast<uint64_t>(Be32(bytes, at)) << 32 | Be32(bytes, at + 4);
}

// The boxes inside a box body, one after the other; stops at the first one that does not fit.
class Boxes
{
public:
    explicit Boxes(std::string_view body)
        : body_(body)
    {
    }

    // The next box's type and body; false at the end. `ok()` tells a clean end from a broken box.
    bool Next(std::string& type, std::string_view& body)
    {
        if (pos_ == body_.size())
            return false;
        if (body_.size() - pos_ < 8)
            return Broken();
        uint64_t size = Be32(body_, pos_);
        size_t header = 8;
        if (size == 1) {
            if (body_.size() - pos_ < 16)
                return Broken();
            size = Be64(body_, pos_ + 8);
            header = 16;
        } else if (size == 0) {
            size = body_.size() - pos_; // runs to the end
        }
        if (size < header || size > body_.size() - pos_)
            return Broken();
        type.assign(body_.substr(pos_ + 4, 4));
        body = body_.substr(pos_ + header, static_cast<size_t>(size) - header);
        pos_ += static_cast<size_t>(size);
        return true;
    }
    bool ok() const { return ok_; }

private:
    bool Broken()
    {
        ok_ = false;
        return false;
    }
    std::string_view body_;
    size_t pos_ = 0;
    bool ok_ = true;
};

// Duration in seconds of an "mvhd" or "mdhd" body (both lay out time scale and duration the same way).
std::optional<double> HeaderSeconds(std::string_view body)
{
    if (body.size() < 4)
        return std::nullopt;
    const int version = static_cast<unsigned char>(body[0]);
    uint64_t scale = 0;
    uint64_t duration = 0;
    if (version == 1 && body.size() >= 32) {
        scale = Be32(body, 20);
        duration = Be64(body, 24);
    } else if (version == 0 && body.size() >= 20) {
        scale = Be32(body, 12);
        duration = Be32(body, 16);
        if (duration == 0xFFFFFFFFu)
            duration = 0; // not known
    } else {
        return std::nullopt;
    }
    if (scale == 0)
        return std::nullopt;
    if (version == 1 && duration == UINT64_MAX)
        duration = 0;
    return static_cast<double>(duration) / static_cast<double>(scale);
}

struct Track
{
    std::string handler;
    double seconds = 0;
};

std::optional<Track> ParseTrack(std::string_view trak)
{
    Track track;
    std::string type;
    std::string_view body;
    for (Boxes boxes(trak); boxes.Next(type, body);) {
        if (type != "mdia")
            continue;
        std::string inner;
        std::string_view innerBody;
        Boxes media(body);
        while (media.Next(inner, innerBody)) {
            if (inner == "mdhd") {
                const auto seconds = HeaderSeconds(innerBody);
                if (!seconds)
                    return std::nullopt;
                track.seconds = *seconds;
            } else if (inner == "hdlr" && innerBody.size() >= 12) {
                track.handler.assign(innerBody.substr(8, 4));
            }
        }
        if (!media.ok())
            return std::nullopt;
    }
    return track;
}

bool ReadExactly(int fd, uint64_t offset, size_t size, std::string& bytes)
{
    bytes.resize(size);
    return ReadAt(fd, offset, bytes.data(), size) == size;
}

} // namespace

std::optional<MovieFacts> ParseMovieBox(std::string_view moov)
{
    MovieFacts facts;
    bool header = false;
    std::string type;
    std::string_view body;
    Boxes boxes(moov);
    while (boxes.Next(type, body)) {
        if (type == "mvhd") {
            const auto seconds = HeaderSeconds(body);
            if (!seconds)
                return std::nullopt;
            facts.seconds = *seconds;
            header = true;
        } else if (type == "trak") {
            const auto track = ParseTrack(body);
            if (!track)
                return std::nullopt;
            if (track->handler == "vide") {
                ++facts.videoTracks;
                if (track->seconds > facts.videoSeconds)
                    facts.videoSeconds = track->seconds;
            } else if (track->handler == "soun") {
                ++facts.audioTracks;
            }
        }
    }
    if (!boxes.ok() || !header)
        return std::nullopt;
    return facts;
}

Result<MovieFacts> ReadMovieFacts(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info;
    if (fd < 0 || ::fstat(fd, &info) != 0) {
        if (fd >= 0)
            ::close(fd);
        return Failure {"the finished file cannot be read back"};
    }
    const uint64_t fileSize = static_cast<uint64_t>(info.st_size);
    uint64_t offset = 0;
    bool typed = false;
    std::optional<MovieFacts> facts;
    std::string bytes;
    // Top-level boxes: only their headers are read, and the index's body.
    while (offset + 8 <= fileSize && !facts) {
        if (!ReadExactly(fd, offset, 16 <= fileSize - offset ? 16 : 8, bytes))
            break;
        uint64_t size = Be32(bytes, 0);
        uint64_t header = 8;
        if (size == 1 && bytes.size() == 16) {
            size = Be64(bytes, 8);
            header = 16;
        } else if (size == 0) {
            size = fileSize - offset;
        }
        if (size < header || size > fileSize - offset)
            break;
        const std::string type = bytes.substr(4, 4);
        if (offset == 0)
            typed = type == "ftyp";
        if (!typed)
            break;
        if (type == "moov") {
            // An index larger than this is no index an encoder wrote for a phone.
            if (size - header > (256u << 20)
                || !ReadExactly(fd, offset + header, static_cast<size_t>(size - header), bytes))
                break;
            facts = ParseMovieBox(bytes);
            if (!facts)
                break;
        }
        offset += size;
    }
    ::close(fd);
    if (!typed)
        return Failure {"the finished file is not an MP4 file"};
    if (!facts)
        return Failure {"the finished file has no readable index"};
    return *facts;
}

Result<double> OutputReadsBack(const std::string& path, const std::string& format)
{
    if (!IsMovFamily(format)) {
        struct stat info;
        if (::stat(path.c_str(), &info) != 0 || info.st_size == 0)
            return Failure {"the finished file is empty"};
        return 0.0;
    }
    const auto facts = ReadMovieFacts(path);
    if (!facts)
        return Failure {facts.why()};
    if (facts->videoTracks == 0 || facts->videoSeconds <= 0)
        return Failure {"the finished file holds no video"};
    return facts->seconds;
}
