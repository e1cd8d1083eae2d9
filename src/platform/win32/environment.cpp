#include "platform/environment.h"

#include <windows.h>

#include <vector>

namespace platform {

std::optional<std::string> environmentVariable(const std::string& name) {
    DWORD size = GetEnvironmentVariableA(name.c_str(), nullptr, 0);
    if (size == 0) return std::nullopt;
    std::vector<char> buffer(size);
    DWORD length = GetEnvironmentVariableA(name.c_str(), buffer.data(), size);
    if (length == 0 || length >= size) return std::nullopt;
    return std::string(buffer.data(), length);
}

}  // namespace platform
