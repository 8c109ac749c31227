#include "Paths.h"

#include <QFileInfo>

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

QString OutputPath(const QString& destination, const QString& source)
{
    return destination + BaseNamePart(source) + QStringLiteral(".mp4");
}
