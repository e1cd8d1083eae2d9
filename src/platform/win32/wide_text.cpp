#include "platform/win32/wide_text.h"

#include <windows.h>

#include <climits>

namespace platform {

std::wstring toWide(const std::string& text) {
    if (text.empty() || text.size() > INT_MAX) return {};
    int size = static_cast<int>(text.size());
    int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), length);
    return wide;
}

std::string fromWide(const wchar_t* text, std::size_t length) {
    if (length == 0 || length > INT_MAX) return {};
    int size = static_cast<int>(length);
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text, size, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, size, narrow.data(), bytes, nullptr, nullptr);
    return narrow;
}

}  // namespace platform
