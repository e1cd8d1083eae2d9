#include "platform/dsm_names.h"

namespace platform {

std::span<const char* const> dsmLibraryNames() {
    static constexpr const char* names[] = {"libtwaindsm.so"};
    return names;
}

}  // namespace platform
