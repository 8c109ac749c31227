#pragma once

#include "encoder/common/Result.h"

#include <optional>
#include <string>

// Reading the three-line script the program writes for a subtitled job:
//   DirectShowSource("SRC")
//   LoadPlugin ("<program folder>/VSFilter.dll")
//   TextSub ("<folder>/<base>.srt")
struct SubtitleScript
{
    std::string source;
    std::string plugin;
    std::string subtitles;
};

// The calls a script's text makes, the last of each kind counting; a call not made is left empty.
struct ScriptCalls
{
    std::optional<std::string> source;
    std::optional<std::string> plugin;
    std::optional<std::string> subtitles;
};

ScriptCalls ParseSubtitleScript(std::string text);

bool IsSubtitleScriptName(const std::string& path);

// Reads and checks the script as its host would: the plug-in and the subtitle file must exist (whether the
// subtitles can be read is the encode's concern). On failure gives the reason.
Result<SubtitleScript> ReadSubtitleScript(const std::string& path);
