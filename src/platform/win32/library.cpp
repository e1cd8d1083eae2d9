#include "platform/library.h"

#include <windows.h>

namespace platform {

LibraryHandle loadLibrary(const char* name) {
    return LoadLibraryA(name);
}

FunctionAddress findFunction(LibraryHandle library, const char* name) {
    if (!library) return nullptr;
    return reinterpret_cast<FunctionAddress>(
        reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name)));
}

FunctionAddress findProcessFunction(const char* name) {
    return findFunction(GetModuleHandleA(nullptr), name);
}

std::string lastLibraryError() {
    DWORD code = GetLastError();
    if (code == 0) return {};
    char text[512];
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, code, 0, text, sizeof text, nullptr);
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r')) --length;
    if (length == 0) return "error " + std::to_string(code);
    return std::string(text, length);
}

}  // namespace platform
