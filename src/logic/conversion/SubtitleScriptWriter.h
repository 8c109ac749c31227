#pragma once

#include <QString>

// Subtitles can be burned in when the switch file is in the program folder and a .srt of the
// source's base name lies beside it.
bool SubtitlesAvailable(const QString& programFolder, const QString& source);
// The script's three lines, joined by CR LF.
QString SubtitleScriptText(const QString& programFolder, const QString& source);
// Writes tmp.avs in the working folder; false when it could not be written and read back whole.
bool WriteSubtitleScript(const QString& programFolder, const QString& workingFolder, const QString& source);
// tmp.avs in the working folder (the program folder, or the user's own folder for the program).
QString SubtitleScriptPath(const QString& workingFolder);
// False when the file could not be written whole; nothing is thrown.
bool WriteTextFile(const QString& path, const QString& text);
