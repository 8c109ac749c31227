#pragma once

#include <optional>
#include <string>

// The three-line script the program writes for a subtitled job:
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
// subtitles can be read is the encode's concern). On failure returns nullopt with the reason in `why`.
std::optional<SubtitleScript> ReadSubtitleScript(const std::string& path, std::string& why);

bool IsValidUtf8(const std::string& bytes);

// The character set to tell the subtitle decoder: empty when the file is read as it is (UTF-8, or UTF-16 and
// UTF-8 marked by a byte-order mark, which the reader honours), "CP1252" for anything else, the usual
// encoding of older subtitle files.
std::string SubtitleCharacterSet(const std::string& bytes);

// The ffmpeg filter that burns the subtitle file into the picture, escaped for a filter graph.
std::string SubtitleFilter(const std::string& subtitlePath, std::string& why);
