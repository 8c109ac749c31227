#include "encoder/probe/ProbeStart.h"

#include "encoder/common/Console.h"

#include <climits>
#include <cstdlib>
#include <dlfcn.h>

Result<void*> ProbeModuleEntry(const char* name)
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
        return Failure {error ? error : module};
    }
    return entry;
}

int StartProbe(const std::string& shownName, const std::string& path)
{
    const auto entry = ProbeModuleEntry("ReelpocketRunProbe");
    if (!entry) {
        Console().Message("ffmpeg.exe: cannot load the probe: " + entry.why() + "\n");
        return 1;
    }
    using Entry = int (*)(const char*, const char*);
    return reinterpret_cast<Entry>(*entry)(shownName.c_str(), path.c_str());
}
