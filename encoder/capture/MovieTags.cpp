#include "encoder/capture/MovieTags.h"

#include "encoder/common/FileIo.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

std::string Be32(uint64_t value)
{
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[static_cast<size_t>(i)] = static_cast<char>((value >> (24 - 8 * i)) & 0xff);
    return bytes;
}

uint64_t ReadBe(const unsigned char* bytes, int count)
{
    uint64_t value = 0;
    for (int i = 0; i < count; ++i)
        value = value << 8 | bytes[i];
    return value;
}

std::string Box(const std::string& type, const std::string& body)
{
    return Be32(8 + body.size()) + type + body;
}

std::string FullBox(const std::string& type, const std::string& body)
{
    return Box(type, std::string(4, '\0') + body);
}

// A QuickTime user-data text: its length, its language (English) and the text.
std::string UserText(const std::string& type, const std::string& text)
{
    return Box(type, Be32(text.size()).substr(2) + "\x15\xc7" + text);
}

// Apple's metadata: a handler of kind "mdta", the key names, and one UTF-8 value per key, numbered from 1.
std::string MetadataKeys(const std::vector<std::pair<std::string, std::string>>& entries)
{
    std::string keys = Be32(entries.size());
    std::string items;
    for (size_t i = 0; i < entries.size(); ++i) {
        keys += Box("mdta", entries[i].first);
        items += Box(Be32(i + 1), Box("data", Be32(1) + Be32(0) + entries[i].second));
    }
    const std::string handler = FullBox("hdlr", Be32(0) + "mdta" + std::string(12, '\0') + std::string(1, '\0'));
    // In the movie itself the box is QuickTime's, without the version and flags of the ISO form in user data.
    return Box("meta", handler + FullBox("keys", keys) + Box("ilst", items));
}

struct BoxSpan
{
    uint64_t at = 0; // where the box starts
    uint64_t size = 0; // its whole size
    uint64_t header = 8;
    std::string type;
};

// The box that starts at `at` of a run that ends at `end`; nullopt when its size does not fit.
std::optional<BoxSpan> ReadBox(const unsigned char* head, size_t available, uint64_t at, uint64_t end)
{
    if (available < 8)
        return std::nullopt;
    BoxSpan box;
    box.at = at;
    box.size = ReadBe(head, 4);
    box.type.assign(reinterpret_cast<const char*>(head) + 4, 4);
    if (box.size == 1) {
        if (available < 16)
            return std::nullopt;
        box.size = ReadBe(head + 8, 8);
        box.header = 16;
    } else if (box.size == 0) {
        box.size = end - at;
    }
    if (box.size < box.header || box.size > end - at)
        return std::nullopt;
    return box;
}

class File
{
public:
    explicit File(const std::string& path)
        : fd_(::open(path.c_str(), O_RDWR | O_CLOEXEC))
    {
    }
    ~File()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    bool open() const { return fd_ >= 0; }
    uint64_t size() const
    {
        struct stat info;
        return ::fstat(fd_, &info) == 0 ? static_cast<uint64_t>(info.st_size) : 0;
    }
    size_t Read(uint64_t at, unsigned char* into, size_t count) const { return ReadAt(fd_, at, into, count); }
    bool Write(uint64_t at, const std::string& bytes) const { return WriteAllAt(fd_, at, bytes); }

private:
    int fd_;
};

} // namespace

std::string CaptureUserData(const CaptureFacts& facts)
{
    if (facts.empty())
        return std::string();
    std::vector<std::pair<std::string, std::string>> keys;
    std::string texts;
    if (facts.utcSeconds) {
        const int offset = facts.offsetMinutes ? *facts.offsetMinutes : LocalOffsetMinutes(*facts.utcSeconds);
        keys.emplace_back("com.apple.quicktime.creationdate", FormatStatedTime(*facts.utcSeconds, offset));
    }
    if (!facts.place.empty()) {
        keys.emplace_back("com.apple.quicktime.location.ISO6709", facts.place);
        texts += UserText("\xa9xyz", facts.place);
    }
    if (!facts.make.empty()) {
        keys.emplace_back("com.apple.quicktime.make", facts.make);
        texts += UserText("\xa9mak", facts.make);
    }
    if (!facts.model.empty()) {
        keys.emplace_back("com.apple.quicktime.model", facts.model);
        texts += UserText("\xa9mod", facts.model);
    }
    // Apple's keys where the iPhone writes them, in the movie itself; the text tags in its user data.
    return MetadataKeys(keys) + (texts.empty() ? std::string() : Box("udta", texts));
}

Result<void> PlaceUserData(const std::string& path, const std::string& userData)
{
    File file(path);
    if (!file.open())
        return Failure {path + ": " + std::strerror(errno)};
    const uint64_t end = file.size();
    std::optional<BoxSpan> movie;
    unsigned char head[16];
    for (uint64_t at = 0; at < end;) {
        const auto box = ReadBox(head, file.Read(at, head, sizeof head), at, end);
        if (!box)
            break;
        if (box->type == "moov") {
            movie = box;
            break;
        }
        at += box->size;
    }
    // A movie index holds a few bytes per frame: even hours of video stay far below this.
    if (!movie || movie->size > (256u << 20))
        return Failure {"no movie index found"};
    std::vector<unsigned char> index(movie->size - movie->header);
    if (file.Read(movie->at + movie->header, index.data(), index.size()) != index.size())
        return Failure {"the movie index cannot be read"};
    const std::string marker = RoomMarker(userData.size());
    for (uint64_t at = 0; at < index.size();) {
        const auto box = ReadBox(index.data() + at, index.size() - at, at, index.size());
        if (!box)
            break;
        // The room must hold the boxes and, when anything is left, a free box of at least its header.
        if (box->type == "udta" && (box->size == userData.size() || box->size >= userData.size() + 8)
            && std::string(reinterpret_cast<const char*>(index.data() + at), box->size).find(marker)
                != std::string::npos) {
            std::string replacement = userData;
            if (box->size > userData.size())
                replacement += Box("free", std::string(box->size - userData.size() - 8, '\0'));
            if (!file.Write(movie->at + movie->header + at, replacement))
                return Failure {path + ": " + std::strerror(errno)};
            return {};
        }
        at += box->size;
    }
    return Failure {"no room kept for the tags in the movie's user data"};
}
