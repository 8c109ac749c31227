#include "NativeFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>
#include <windows.h>

PathStyle NativePathStyle()
{
    return PathStyle::Windows;
}

bool SameFile(const QString& a, const QString& b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca.compare(QFileInfo(b).canonicalFilePath(), Qt::CaseInsensitive) == 0;
}

QByteArray NativeTextBytes(const QString& text)
{
    // Windows programs read single-byte text in the system's code page.
    return text.toLocal8Bit();
}

bool CanCreateFileIn(const QString& folder)
{
    // Permissions alone do not tell: read-only media and access rules inherited from above change the answer.
    QTemporaryFile file(QDir(folder).filePath(QStringLiteral("~reelpocket-XXXXXX.tmp")));
    return file.open(); // and removed as it goes
}

bool MakePrivateFolder(const QString& folder)
{
    // The user's own profile folders are private already.
    const QFileInfo info(folder);
    return (info.isDir() || QDir().mkpath(folder)) && !QFileInfo(folder).isSymLink();
}

bool ProcessMayBeRunning(qint64 pid)
{
    HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
    if (!process)
        return ::GetLastError() != ERROR_INVALID_PARAMETER;
    const bool running = ::WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    ::CloseHandle(process);
    return running;
}