#include "encoder/capture/FileTimes.h"

#include <fcntl.h>
#include <sys/stat.h>

bool CopyFileTimes(const std::string& source, const std::string& path)
{
    struct stat info;
    if (::stat(source.c_str(), &info) != 0)
        return false;
    const struct timespec times[2] = {info.st_atim, info.st_mtim};
    return ::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}
