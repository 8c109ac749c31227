#include "NativeFiles.h"

#include <QFileInfo>

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
