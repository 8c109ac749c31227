#include "ProbeStart.h"

#include "Console.h"

#include <climits>
#include <cstdlib>
#include <dlfcn.h>

void* ProbeModuleEntry(const char* name, std::string& why)
{
    char self[PATH_MAX];
    // In a folder of its own, so a package does not take it for a system library.
    std::string module = "modules/reelpocket-probe.so";
    if (::realpath("/proc/self/exe", self)) {
        const std::string folder(self);
        module = folder.substr(0, folder.rfind('/') + 1) + module;
    }
    // The module stays loaded: the process ends right after using it.
    void* handle = ::dlopen(module.c_str(), RTLD_LAZY | RTLD_LOCAL);
    void* entry = handle ? ::dlsym(handle, name) : nullptr;
    if (!entry) {
        const char* error = ::dlerror();
        why = error ? error : module;
    }
    return entry;
}

int StartProbe(const std::string& shownName, const std::string& path)
{
    std::string why;
    using Entry = int (*)(const char*, const char*);
    const auto run = reinterpret_cast<Entry>(ProbeModuleEntry("ReelpocketRunProbe", why));
    if (!run) {
        Console().Message("ffmpeg.exe: cannot load the probe: " + why + "\n");
        return 1;
    }
    return run(shownName.c_str(), path.c_str());
}
