#include "platform/registry.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace platform {

bool deleteUserRegistryKey(const std::string& path) {
    // A path of separators only would name HKEY_CURRENT_USER itself and wipe the user's tree.
    if (path.find_first_not_of("\\/ ") == std::string::npos) return false;
    const std::wstring wide = toWide(path);
    if (wide.empty()) return false;
    return RegDeleteTreeW(HKEY_CURRENT_USER, wide.c_str()) == ERROR_SUCCESS;
}

}  // namespace platform
