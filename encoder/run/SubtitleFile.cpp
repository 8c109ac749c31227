#include "encoder/run/SubtitleFile.h"

#include "encoder/common/FileIo.h"
#include "encoder/plan/FilterChain.h"

#include <unistd.h>

Result<std::string> SubtitleFilter(const std::string& subtitlePath)
{
    const auto bytes = ReadWholeFile(subtitlePath);
    if (!bytes)
        return Failure {subtitlePath + ": cannot read the subtitles"};
    std::string absolute = subtitlePath;
    if (absolute.empty() || absolute.front() != '/') {
        char cwd[4096];
        if (::getcwd(cwd, sizeof cwd))
            absolute = std::string(cwd) + "/" + absolute;
    }
    std::string filter = "subtitles=filename=" + EscapeFilterValue(absolute);
    const std::string characterSet = SubtitleCharacterSet(*bytes);
    if (!characterSet.empty())
        filter += ":charenc=" + characterSet;
    return EscapeFilterGraph(filter);
}
