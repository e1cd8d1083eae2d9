#include "platform/library.h"

#include <dlfcn.h>

namespace platform {

LibraryHandle loadLibrary(const char* name) {
    return dlopen(name, RTLD_NOW | RTLD_LOCAL);
}

FunctionAddress findFunction(LibraryHandle library, const char* name) {
    if (!library) return nullptr;
    return reinterpret_cast<FunctionAddress>(dlsym(library, name));
}

FunctionAddress findProcessFunction(const char* name) {
    void* self = dlopen(nullptr, RTLD_NOW);
    return self ? reinterpret_cast<FunctionAddress>(dlsym(self, name)) : nullptr;
}

std::string lastLibraryError() {
    const char* error = dlerror();
    return error ? error : "";
}

}  // namespace platform
