// UTF-8 <-> UTF-16 at the edge of the Windows API.
#pragma once

#include <string>

namespace platform {

std::wstring toWide(const std::string& text);
std::string fromWide(const wchar_t* text, std::size_t length);
inline std::string fromWide(const std::wstring& text) {
    return fromWide(text.data(), text.size());
}

}  // namespace platform
