#include "NativeFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

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

bool CanCreateFileIn(const QString& folder)
{
    // Permissions alone do not tell: a read-only mount, a full quota or a root user change the answer.
    QByteArray name = QFile::encodeName(QDir(folder).filePath(QStringLiteral(".reelpocket-XXXXXX")));
    const int descriptor = ::mkstemp(name.data());
    if (descriptor < 0)
        return false;
    ::close(descriptor);
    ::unlink(name.constData());
    return true;
}

bool MakePrivateFolder(const QString& folder)
{
    const QByteArray path = QFile::encodeName(folder);
    // What leads to it is made as usual; the folder itself is made private from the start.
    QDir().mkpath(QFileInfo(folder).path());
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat info
    {
    };
    if (::lstat(path.constData(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::geteuid())
        return false;
    return (info.st_mode & 077) == 0 || ::chmod(path.constData(), 0700) == 0;
}

bool ProcessMayBeRunning(qint64 pid)
{
    if (pid <= 0)
        return true;
    // EPERM: it runs, as another user.
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH;
}