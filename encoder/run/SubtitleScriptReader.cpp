#include "encoder/run/SubtitleScriptReader.h"

#include "encoder/common/FileIo.h"

#include <cctype>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

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

Result<SubtitleScript> ReadSubtitleScript(const std::string& path)
{
    const auto text = ReadWholeFile(path);
    if (!text)
        return Failure {path + ": cannot open the script"};
    const auto [source, plugin, subtitles] = ParseSubtitleScript(*text);
    if (!source)
        return Failure {path + ": the script names no source (DirectShowSource)"};
    if (plugin && !IsRegularFile(*plugin))
        return Failure {path + ": LoadPlugin: unable to load \"" + *plugin + "\""};
    if (subtitles && !plugin)
        return Failure {path + ": there is no function named \"TextSub\" (no plug-in loaded)"};
    // A file that is there but cannot be read is left out by the encode; one that is gone fails, as in the host.
    if (subtitles && ::access(subtitles->c_str(), F_OK) != 0)
        return Failure {path + ": TextSub: cannot open \"" + *subtitles + "\""};
    return SubtitleScript {*source, plugin.value_or(std::string()), subtitles.value_or(std::string())};
}
