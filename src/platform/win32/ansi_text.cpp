#include "platform/ansi_text.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace platform {

std::string toAnsiCodePage(const std::string& utf8) {
    const std::wstring wide = toWide(utf8);
    if (wide.empty()) return {};
    int length = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr,
                                     0, nullptr, nullptr);
    if (length <= 0) return {};
    std::string ansi(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), ansi.data(), length,
                        nullptr, nullptr);
    return ansi;
}

}  // namespace platform
