#include "platform/module_info.h"

#include <cstdio>
#include <vector>

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

std::string stringResource(unsigned id) {
    char text[256];
    int length = LoadStringA(ownModuleHandle(), id, text, sizeof text);
    if (length <= 0) return {};
    return std::string(text, static_cast<std::size_t>(length));
}

std::optional<std::string> versionProductName() {
    const std::string path = moduleFilePath();
    if (path.empty()) return std::nullopt;
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0) return std::nullopt;
    std::vector<char> info(size);
    if (!GetFileVersionInfoA(path.c_str(), 0, size, info.data())) return std::nullopt;

    struct Translation {
        WORD language;
        WORD codePage;
    };
    void* value = nullptr;
    UINT valueLength = 0;
    if (!VerQueryValueA(info.data(), "\\VarFileInfo\\Translation", &value, &valueLength) ||
        valueLength < sizeof(Translation))
        return std::nullopt;
    const Translation first = *static_cast<const Translation*>(value);

    char query[64];
    std::snprintf(query, sizeof query, "\\StringFileInfo\\%04X%04X\\ProductName",
                  static_cast<unsigned>(first.language), static_cast<unsigned>(first.codePage));
    if (!VerQueryValueA(info.data(), query, &value, &valueLength) || !value) return std::nullopt;
    // The length counts characters and may include the NUL; the text is NUL-terminated.
    const char* text = static_cast<const char*>(value);
    std::size_t length = 0;
    while (length < valueLength && text[length] != '\0') ++length;
    return std::string(text, length);
}

}  // namespace platform
