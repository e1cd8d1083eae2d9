#include "platform/environment_expand.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace platform {

// The wide function, so that non-ASCII folder names survive the trip to UTF-8.
std::string expandEnvironmentStrings(const std::string& text) {
    std::wstring source = toWide(text);
    DWORD size = ExpandEnvironmentStringsW(source.c_str(), nullptr, 0);
    if (size == 0) return text;
    std::wstring expanded(size, L'\0');
    DWORD length = ExpandEnvironmentStringsW(source.c_str(), expanded.data(), size);
    if (length == 0 || length > size) return text;
    expanded.resize(length - 1);
    return fromWide(expanded);
}

}  // namespace platform
