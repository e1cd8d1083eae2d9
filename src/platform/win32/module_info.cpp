#include "platform/module_info.h"

#include "platform/win32/own_module.h"

namespace platform {

HMODULE ownModuleHandle() {
    HMODULE module = nullptr;
    GetModuleHandleExA(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCSTR>(&ownModuleHandle), &module);
    return module;
}

std::string moduleFilePath() {
    char path[MAX_PATH + 1];
    DWORD length = GetModuleFileNameA(ownModuleHandle(), path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    return std::string(path, length);
}

}  // namespace platform
