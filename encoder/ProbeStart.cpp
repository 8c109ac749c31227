#include "ProbeStart.h"

#include "Console.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

int StartProbe(const std::string& shownName, const std::string& path)
{
    char self[PATH_MAX];
    std::string program = "reelpocket-probe";
    if (::realpath("/proc/self/exe", self)) {
        const std::string folder(self);
        program = folder.substr(0, folder.rfind('/') + 1) + program;
    }
    const char* argv[] = {program.c_str(), shownName.c_str(), path.c_str(), nullptr};
    ::execv(program.c_str(), const_cast<char* const*>(argv));
    Console().Message("ffmpeg.exe: cannot start " + program + ": " + std::strerror(errno) + "\n");
    return 1;
}
