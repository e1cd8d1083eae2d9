#include "platform/product_name.h"

namespace platform {

// An ELF module carries no resources; its product name is the one the Windows resources give.
std::optional<std::string> moduleProductName() {
    return std::string("Tarnwick");
}

}  // namespace platform
