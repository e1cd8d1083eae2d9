#include "platform/library.h"

#include <windows.h>

namespace platform {

LibraryHandle loadLibrary(const char* name) { return LoadLibraryA(name); }

FunctionAddress findFunction(LibraryHandle library, const char* name) {
    if (!library) return nullptr;
    return reinterpret_cast<FunctionAddress>(
        reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name)));
}

FunctionAddress findProcessFunction(const char* name) {
    return findFunction(GetModuleHandleA(nullptr), name);
}

}  // namespace platform
