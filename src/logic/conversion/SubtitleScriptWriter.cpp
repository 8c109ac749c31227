#include "SubtitleScriptWriter.h"

#include "Paths.h"

#include <QFile>

namespace {
QString InFolder(const QString& folder, const QString& name)
{
    return folder + Separator() + name;
}

QString SubtitleFileOf(const QString& source)
{
    return FolderPart(source) + BaseNamePart(source) + QStringLiteral(".srt");
}
} // namespace

bool SubtitlesAvailable(const QString& programFolder, const QString& source)
{
    const bool plugin = FileExists(InFolder(programFolder, QStringLiteral("VSFilter.dll")));
    const bool subtitles = FileExists(SubtitleFileOf(source));
    return plugin && subtitles;
}

QString SubtitleScriptText(const QString& programFolder, const QString& source)
{
    const QChar q = QLatin1Char('"');
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("DirectShowSource(") + q + source + q + QLatin1Char(')') + crlf
        + QStringLiteral("LoadPlugin (") + q + InFolder(programFolder, QStringLiteral("VSFilter.dll")) + q
        + QLatin1Char(')') + crlf + QStringLiteral("TextSub (") + q + SubtitleFileOf(source) + q + QLatin1Char(')');
}

bool WriteSubtitleScript(const QString& programFolder, const QString& workingFolder, const QString& source)
{
    const QString path = SubtitleScriptPath(workingFolder);
    const QString text = SubtitleScriptText(programFolder, source);
    // An earlier job's script must never stand in for this one's: it goes first, and what is written is
    // read back before the encoder may use it.
    QFile::remove(path);
    if (!WriteTextFile(path, text))
        return false;
    QFile written(path);
    return written.open(QIODevice::ReadOnly) && written.readAll() == NativeTextBytes(text);
}

QString SubtitleScriptPath(const QString& workingFolder)
{
    return InFolder(workingFolder, QStringLiteral("tmp.avs"));
}

bool WriteTextFile(const QString& path, const QString& text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray bytes = NativeTextBytes(text);
    return file.write(bytes) == bytes.size() && file.flush();
}
