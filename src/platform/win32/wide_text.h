// UTF-8 model text to and from the UTF-16 the wide Win32 functions take.
#pragma once

#include <string>

namespace platform {

std::wstring toWide(const std::string& utf8);
std::string fromWide(const std::wstring& wide);

}  // namespace platform
