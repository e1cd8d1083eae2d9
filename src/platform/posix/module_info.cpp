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

}  // namespace platform
