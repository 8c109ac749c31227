#include "Paths.h"

#include <QFileInfo>

// STUB: replaced by the real path functions.
PathStyle NativePathStyle()
{
#ifdef Q_OS_WIN
    return PathStyle::Windows;
#else
    return PathStyle::Posix;
#endif
}

QChar Separator(PathStyle style)
{
    return style == PathStyle::Windows ? QLatin1Char('\\') : QLatin1Char('/');
}

QString FolderPart(const QString& path, PathStyle) { return QFileInfo(path).path() + QLatin1Char('/'); }
QString FileNamePart(const QString& path, PathStyle) { return QFileInfo(path).fileName(); }
QString BaseNamePart(const QString& path, PathStyle) { return QFileInfo(path).completeBaseName(); }
bool FileExists(const QString& path) { return QFileInfo(path).isFile(); }
