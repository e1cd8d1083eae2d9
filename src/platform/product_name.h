// The product name carried by the module's own resources.
#pragma once

#include <optional>
#include <string>

namespace platform {

// The "ProductName" of the module's version resource (first listed language) when it names one,
// else its string resource 4; nothing when neither does. Both the identity and the machine-wide
// settings file name follow it.
std::optional<std::string> moduleProductName();

}  // namespace platform
