// The per-user registry.
#pragma once

#include <string>

namespace platform {

// Deletes the key at this path under HKEY_CURRENT_USER with all its sub-keys and values.
// False when nothing was deleted; always false where no registry exists. An empty path, or
// one naming the root itself, is refused.
bool deleteUserRegistryKey(const std::string& path);

}  // namespace platform
