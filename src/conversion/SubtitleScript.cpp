#include "SubtitleScript.h"

// STUB: replaced by the real subtitle script.
bool SubtitlesAvailable(const QString&, const QString&) { return false; }
QString SubtitleScriptText(const QString&, const QString&) { return {}; }
void WriteSubtitleScript(const QString&, const QString&) {}
QString SubtitleScriptPath(const QString& programFolder) { return programFolder + QStringLiteral("/tmp.avs"); }
void WriteTextFile(const QString&, const QString&) {}
