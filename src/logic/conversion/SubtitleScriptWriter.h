#pragma once

#include <QString>

// Subtitles can be burned in when the switch file is in the program folder and a .srt of the
// source's base name lies beside it.
bool SubtitlesAvailable(const QString& programFolder, const QString& source);
// The script's three lines, joined by CR LF.
QString SubtitleScriptText(const QString& programFolder, const QString& source);
// Writes the script of `source` as a new file at `scriptPath`; false when it could not be written and read
// back whole.
bool WriteSubtitleScript(const QString& programFolder, const QString& scriptPath, const QString& source);
// A script name in the working folder that no other job, of this program or of another one running at the
// same time, is given: "tmp-<machine>-<process>-<random>.avs".
QString NewSubtitleScriptPath(const QString& workingFolder);
// Removes the scripts in the working folder that programs of this machine left when they were killed;
// returns how many.
int RemoveStaleSubtitleScripts(const QString& workingFolder);
// False when the file could not be written whole; nothing is thrown.
bool WriteTextFile(const QString& path, const QString& text);
