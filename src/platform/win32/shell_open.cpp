#include "platform/shell_open.h"

#include <windows.h>

// Needs the types of windows.h.
#include <shellapi.h>

namespace platform {

bool shellOpen(const std::string& address) {
    // Web addresses are ASCII, so the ANSI entry takes them as they are.
    HINSTANCE result =
        ShellExecuteA(nullptr, "open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace platform
