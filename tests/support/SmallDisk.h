#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <sys/mount.h>

// A small file system of its own at `folder`, mounted for as long as this lives (the tests run as root),
// so a disk can fill up in the middle of an encode.
struct SmallDisk
{
    SmallDisk(const QString& folder, const char* size)
        : path(QFile::encodeName(folder))
    {
        mounted = QDir().mkpath(folder) && ::mount("tmpfs", path.constData(), "tmpfs", 0, size) == 0;
    }
    ~SmallDisk()
    {
        if (mounted)
            ::umount(path.constData());
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    QByteArray path;
    bool mounted = false;
};
