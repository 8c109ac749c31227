#include "SubtitleScriptWriter.h"

#include "Paths.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSysInfo>

namespace {
QString InFolder(const QString& folder, const QString& name)
{
    return folder + Separator() + name;
}

QString SubtitleFileOf(const QString& source)
{
    return FolderPart(source) + BaseNamePart(source) + QStringLiteral(".srt");
}

// Eight hex digits of the machine's name, so that programs on other machines sharing the folder (a home
// folder over the network) are never taken for dead ones here.
QString MachineMark()
{
    quint32 hash = 2166136261u;
    for (const char c : QSysInfo::machineHostName().toUtf8())
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    return QStringLiteral("%1").arg(hash, 8, 16, QLatin1Char('0'));
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

bool WriteSubtitleScript(const QString& programFolder, const QString& scriptPath, const QString& source)
{
    const QString text = SubtitleScriptText(programFolder, source);
    // The name is this job's alone: whatever carries it already is a leftover of a killed program whose
    // process id this one has now. The file is made new, so no link is followed, and what is written is
    // read back before the encoder may use it.
    QFile::remove(scriptPath);
    QFile file(scriptPath);
    const QByteArray bytes = NativeTextBytes(text);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly) || file.write(bytes) != bytes.size() || !file.flush())
        return false;
    file.close();
    QFile written(scriptPath);
    return written.open(QIODevice::ReadOnly) && written.readAll() == bytes;
}

QString NewSubtitleScriptPath(const QString& workingFolder)
{
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QString random;
    for (int i = 0; i < 8; ++i)
        random += QLatin1Char(letters[QRandomGenerator::global()->bounded(int(sizeof letters - 1))]);
    return InFolder(
        workingFolder,
        QStringLiteral("tmp-%1-%2-%3.avs").arg(MachineMark()).arg(QCoreApplication::applicationPid()).arg(random));
}

int RemoveStaleSubtitleScripts(const QString& workingFolder)
{
    int removed = 0;
    const QFileInfoList scripts
        = QDir(workingFolder).entryInfoList({QStringLiteral("tmp-*.avs")}, QDir::Files | QDir::System);
    for (const QFileInfo& script : scripts) {
        const QStringList parts = script.completeBaseName().split(QLatin1Char('-'));
        bool number = false;
        const qint64 pid = parts.value(2).toLongLong(&number);
        if (parts.size() != 4 || parts.at(1) != MachineMark() || !number || pid == QCoreApplication::applicationPid())
            continue;
        // A pid says nothing of a program in another sandbox, whose pids are its own; but an encoder reads its
        // script in its first moments, so one older than a minute is read, or never will be.
        if (ProcessMayBeRunning(pid) || script.lastModified().secsTo(QDateTime::currentDateTime()) < 60
            || script.isSymLink() || !script.isFile())
            continue;
        if (QFile::remove(script.filePath()))
            ++removed;
    }
    return removed;
}

bool WriteTextFile(const QString& path, const QString& text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray bytes = NativeTextBytes(text);
    return file.write(bytes) == bytes.size() && file.flush();
}
