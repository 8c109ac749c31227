#include "NativeFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

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
