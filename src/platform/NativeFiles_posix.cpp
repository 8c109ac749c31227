#include "NativeFiles.h"

#include <QFile>
#include <sys/stat.h>

PathStyle NativePathStyle()
{
    return PathStyle::Posix;
}

bool SameFile(const QString& a, const QString& b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    struct stat sa
    {
    };
    struct stat sb
    {
    };
    if (::stat(QFile::encodeName(a).constData(), &sa) != 0 || ::stat(QFile::encodeName(b).constData(), &sb) != 0)
        return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

QByteArray NativeTextBytes(const QString& text)
{
    return text.toUtf8();
}
