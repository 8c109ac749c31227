#pragma once

#include <QString>

// Windows paths use "\" and a drive prefix ending in ":"; POSIX paths use "/" only.
enum class PathStyle { Windows, Posix };

PathStyle NativePathStyle();
QChar Separator(PathStyle style = NativePathStyle());

QString FolderPart(const QString& path, PathStyle style = NativePathStyle());
QString FileNamePart(const QString& path, PathStyle style = NativePathStyle());
QString BaseNamePart(const QString& path, PathStyle style = NativePathStyle());
// An existing entry that is not a folder.
bool FileExists(const QString& path);
