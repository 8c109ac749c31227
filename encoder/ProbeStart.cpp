#include "ProbeStart.h"

#include "Console.h"

#include <climits>
#include <cstdlib>
#include <dlfcn.h>

int StartProbe(const std::string& shownName, const std::string& path)
{
    char self[PATH_MAX];
    // In a folder of its own, so a package does not take it for a system library.
    std::string module = "modules/reelpocket-probe.so";
    if (::realpath("/proc/self/exe", self)) {
        const std::string folder(self);
        module = folder.substr(0, folder.rfind('/') + 1) + module;
    }
    void* handle = ::dlopen(module.c_str(), RTLD_LAZY | RTLD_LOCAL);
    using Entry = int (*)(const char*, const char*);
    const auto run = handle ? reinterpret_cast<Entry>(::dlsym(handle, "ReelpocketRunProbe")) : nullptr;
    if (!run) {
        const char* error = ::dlerror();
        Console().Message("ffmpeg.exe: cannot load the probe: " + std::string(error ? error : module) + "\n");
        return 1;
    }
    // The module stays loaded: the process ends right after the probe.
    return run(shownName.c_str(), path.c_str());
}
