#pragma once

#include <QByteArray>
#include <QString>

// Windows paths use "\" and a drive prefix ending in ":"; POSIX paths use "/" only.
enum class PathStyle { Windows, Posix };

// The path style of the system the program runs on.
PathStyle NativePathStyle();
// Both paths exist and name one file, however they are spelled (links, "//", "./", hard links).
bool SameFile(const QString& a, const QString& b);
// The bytes of a text file the program writes for other programs to read.
QByteArray NativeTextBytes(const QString& text);
// A new file can be made in the folder: a uniquely named file is created there (hidden where names can hide it)
// and removed again.
bool CanCreateFileIn(const QString& folder);
// Makes the folder (and what leads to it) when it is missing, for this user alone. True when it is a folder,
// not a link, that belongs to this user and that nobody else can enter (its permissions are narrowed when
// needed); false otherwise, and the folder must then not be used for private files.
bool MakePrivateFolder(const QString& folder);
// Whether a process with this id may still run on this machine; true also when the system cannot tell.
bool ProcessMayBeRunning(qint64 pid);
