#pragma once

#include <QString>

// Windows paths use "\" and a drive prefix ending in ":"; POSIX paths use "/" only.
enum class PathStyle { Windows, Posix };

PathStyle NativePathStyle();
QChar Separator(PathStyle style = NativePathStyle());

// The folder part with its last separator (or drive colon) included; "" when there is none.
QString FolderPart(const QString& path, PathStyle style = NativePathStyle());
// What follows the last separator; the whole path when there is none.
QString FileNamePart(const QString& path, PathStyle style = NativePathStyle());
// The file name cut before its last "."; "" when the name has no ".".
QString BaseNamePart(const QString& path, PathStyle style = NativePathStyle());
// An existing entry that is not a folder.
bool FileExists(const QString& path);
// Both paths exist and name one file, however they are spelled (links, "//", "./", hard links).
bool SameFile(const QString& a, const QString& b);
