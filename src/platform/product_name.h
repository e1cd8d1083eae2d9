// The product name carried by the module's own resources.
#pragma once

#include <optional>
#include <string>

namespace platform {

// The "ProductName" of the module's version resource (first translation, at most 32
// characters), else its string resource 4 (at most 31 characters); nothing when neither can be
// read. A build without resources answers its built-in name.
std::optional<std::string> moduleProductName();

}  // namespace platform
