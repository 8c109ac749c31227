#include "Paths.h"

#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

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

namespace {
bool EndsFolder(QChar c, PathStyle style)
{
    if (style == PathStyle::Windows)
        return c == QLatin1Char('\\') || c == QLatin1Char(':');
    return c == QLatin1Char('/');
}
} // namespace

QString FolderPart(const QString& path, PathStyle style)
{
    for (qsizetype i = path.size() - 1; i >= 0; --i) {
        if (EndsFolder(path.at(i), style))
            return path.left(i + 1);
    }
    return QString();
}

QString FileNamePart(const QString& path, PathStyle style)
{
    // A drive colon does not end a folder here: "C:name" is returned whole.
    const qsizetype i = path.lastIndexOf(Separator(style));
    return i < 0 ? path : path.mid(i + 1);
}

QString BaseNamePart(const QString& path, PathStyle style)
{
    const QString name = FileNamePart(path, style);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.left(dot);
}

bool FileExists(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

bool SameFile(const QString& a, const QString& b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
#ifdef Q_OS_UNIX
    struct stat sa
    {
    };
    struct stat sb
    {
    };
    if (::stat(QFile::encodeName(a).constData(), &sa) != 0 || ::stat(QFile::encodeName(b).constData(), &sb) != 0)
        return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
#else
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca.compare(QFileInfo(b).canonicalFilePath(), Qt::CaseInsensitive) == 0;
#endif
}
