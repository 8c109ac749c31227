#pragma once

#include <QString>

// Subtitles can be burned in when the switch file is in the program folder and a .srt of the
// source's base name lies beside it.
bool SubtitlesAvailable(const QString& programFolder, const QString& source);
// The script's three lines, joined by CR LF.
QString SubtitleScriptText(const QString& programFolder, const QString& source);
// Writes tmp.avs in the program folder; false when it could not be written and read back whole.
bool WriteSubtitleScript(const QString& programFolder, const QString& source);
QString SubtitleScriptPath(const QString& programFolder);
// False when the file could not be written whole; nothing is thrown.
bool WriteTextFile(const QString& path, const QString& text);
