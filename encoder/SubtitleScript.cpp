#include "SubtitleScript.h"

#include "Arguments.h"

#include <cctype>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool ReadWholeFile(const std::string& path, std::string& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream text;
    text << in.rdbuf();
    bytes = text.str();
    return true;
}

bool IsRegularFile(const std::string& path)
{
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The quoted argument of `Function ("...")`, when the line calls that function (names in any case, blanks
// before the parenthesis allowed). Paths are written unescaped, so the argument runs from the first quote
// to the last one on the line.
std::optional<std::string> CallArgument(const std::string& line, const std::string& function)
{
    size_t pos = line.find_first_not_of(" \t");
    if (pos == std::string::npos || Lower(line.substr(pos, function.size())) != Lower(function))
        return std::nullopt;
    pos = line.find_first_not_of(" \t", pos + function.size());
    if (pos == std::string::npos || line[pos] != '(')
        return std::nullopt;
    const size_t open = line.find('"', pos);
    const size_t close = line.rfind('"');
    if (open == std::string::npos || close == open)
        return std::nullopt;
    return line.substr(open + 1, close - open - 1);
}

} // namespace

bool IsSubtitleScriptName(const std::string& path)
{
    return path.size() > 4 && Lower(path.substr(path.size() - 4)) == ".avs";
}

ScriptCalls ParseSubtitleScript(std::string text)
{
    if (text.rfind("\xEF\xBB\xBF", 0) == 0)
        text.erase(0, 3);
    ScriptCalls calls;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (auto value = CallArgument(line, "DirectShowSource"))
            calls.source = value;
        else if (auto value = CallArgument(line, "LoadPlugin"))
            calls.plugin = value;
        else if (auto value = CallArgument(line, "TextSub"))
            calls.subtitles = value;
    }
    return calls;
}

std::optional<SubtitleScript> ReadSubtitleScript(const std::string& path, std::string& why)
{
    std::string text;
    if (!ReadWholeFile(path, text)) {
        why = path + ": cannot open the script";
        return std::nullopt;
    }
    const auto [source, plugin, subtitles] = ParseSubtitleScript(text);
    if (!source) {
        why = path + ": the script names no source (DirectShowSource)";
        return std::nullopt;
    }
    if (plugin && !IsRegularFile(*plugin)) {
        why = path + ": LoadPlugin: unable to load \"" + *plugin + "\"";
        return std::nullopt;
    }
    if (subtitles && !plugin) {
        why = path + ": there is no function named \"TextSub\" (no plug-in loaded)";
        return std::nullopt;
    }
    // A file that is there but cannot be read is left out by the encode; one that is gone fails, as in the host.
    if (subtitles && ::access(subtitles->c_str(), F_OK) != 0) {
        why = path + ": TextSub: cannot open \"" + *subtitles + "\"";
        return std::nullopt;
    }
    return SubtitleScript {*source, plugin.value_or(std::string()), subtitles.value_or(std::string())};
}

bool IsValidUtf8(const std::string& bytes)
{
    size_t i = 0;
    while (i < bytes.size()) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        size_t extra = 0;
        unsigned min = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1;
            min = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            min = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            min = 0x10000;
        } else {
            return false;
        }
        if (i + extra >= bytes.size())
            return false;
        unsigned code = c & (0x3F >> extra);
        for (size_t k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3F);
        }
        if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += extra + 1;
    }
    return true;
}

std::string SubtitleCharacterSet(const std::string& bytes)
{
    // Notepad's "Unicode" is UTF-16 with a byte-order mark; its bytes are never valid UTF-8.
    for (const char* mark : {"\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"})
        if (bytes.rfind(mark, 0) == 0)
            return std::string();
    return IsValidUtf8(bytes) ? std::string() : "CP1252";
}

std::string SubtitleFilter(const std::string& subtitlePath, std::string& why)
{
    std::string bytes;
    if (!ReadWholeFile(subtitlePath, bytes)) {
        why = subtitlePath + ": cannot read the subtitles";
        return std::string();
    }
    std::string absolute = subtitlePath;
    if (absolute.empty() || absolute.front() != '/') {
        char cwd[4096];
        if (::getcwd(cwd, sizeof cwd))
            absolute = std::string(cwd) + "/" + absolute;
    }
    std::string filter = "subtitles=filename=" + EscapeFilterValue(absolute);
    const std::string characterSet = SubtitleCharacterSet(bytes);
    if (!characterSet.empty())
        filter += ":charenc=" + characterSet;
    return EscapeFilterGraph(filter);
}
