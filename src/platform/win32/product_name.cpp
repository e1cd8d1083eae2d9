#include "platform/product_name.h"

#include <windows.h>

#include <cstdio>
#include <vector>

#include "platform/win32/own_module.h"
#include "platform/win32/wide_text.h"

namespace platform {
namespace {

std::optional<std::string> versionProductName(const std::wstring& file) {
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
    if (size == 0) return std::nullopt;
    std::vector<unsigned char> data(size);
    if (!GetFileVersionInfoW(file.c_str(), 0, size, data.data())) return std::nullopt;
    struct Translation {
        WORD language;
        WORD codePage;
    };
    Translation* translation = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(&translation), &length) ||
        length < sizeof(Translation))
        return std::string();  // a version resource without translation names nothing
    wchar_t query[64];
    std::swprintf(query, 64, L"\\StringFileInfo\\%04X%04X\\ProductName", translation->language,
                  translation->codePage);
    wchar_t* name = nullptr;
    if (!VerQueryValueW(data.data(), query, reinterpret_cast<void**>(&name), &length) || !name)
        return std::string();
    std::size_t count = 0;
    while (count < length && count < 32 && name[count] != L'\0') ++count;
    return fromWide(name, count);
}

std::optional<std::string> readProductName() {
    HMODULE module = ownModuleHandle();
    wchar_t path[MAX_PATH + 1];
    DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        if (std::optional<std::string> name = versionProductName(std::wstring(path, length))) {
            if (name->empty()) return std::nullopt;
            return name;
        }
    }
    wchar_t text[32];
    int count = LoadStringW(module, 4, text, 32);
    if (count <= 0) return std::nullopt;
    return fromWide(text, static_cast<std::size_t>(count));
}

}  // namespace

// The resources do not change while the module is loaded; the settings file is looked for on
// most calls, so they are read once.
std::optional<std::string> moduleProductName() {
    static const std::optional<std::string> name = readProductName();
    return name;
}

}  // namespace platform
