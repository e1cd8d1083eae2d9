#include "platform/module_info.h"

#include <dlfcn.h>

#include <climits>
#include <cstdlib>

namespace platform {

std::string moduleFilePath() {
    Dl_info info{};
    // Any address inside this module finds the module's own file.
    if (!dladdr(reinterpret_cast<void*>(&moduleFilePath), &info) || !info.dli_fname) return {};
    char resolved[PATH_MAX];
    if (realpath(info.dli_fname, resolved)) return resolved;
    return info.dli_fname;
}

// ELF files carry no resources: the same texts as packaging/tarnwick.rc, compiled in.
std::string stringResource(unsigned id) {
    switch (id) {
        case 1:
            return "Version %d.%02d";
        case 2:
            return "Tarnwick project";
        case 3:
            return "Tarnwick bridge";
        case 4:
            return "Tarnwick";
        default:
            return {};
    }
}

std::optional<std::string> versionProductName() {
    return std::nullopt;
}

}  // namespace platform
