#pragma once

#include "platform/NativeFiles.h"

#include <QString>

QChar Separator(PathStyle style = NativePathStyle());

// The folder part with its last separator (or drive colon) included; "" when there is none.
QString FolderPart(const QString& path, PathStyle style = NativePathStyle());
// What follows the last separator; the whole path when there is none.
QString FileNamePart(const QString& path, PathStyle style = NativePathStyle());
// The file name cut before its last "."; "" when the name has no ".".
QString BaseNamePart(const QString& path, PathStyle style = NativePathStyle());
// An existing entry that is not a folder.
bool FileExists(const QString& path);
// The output of a source: the destination (a plain prefix), the source's base name, ".mp4".
QString OutputPath(const QString& destination, const QString& source);
