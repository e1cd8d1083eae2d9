#include "platform/registry.h"

namespace platform {

// No registry on this platform: nothing is ever deleted.
bool deleteUserRegistryKey(const std::string&) {
    return false;
}

}  // namespace platform
