// The process environment.
#pragma once

#include <optional>
#include <string>

namespace platform {

// The value of an environment variable; nothing when it is not set.
std::optional<std::string> environmentVariable(const std::string& name);

}  // namespace platform
