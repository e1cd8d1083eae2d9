#include "platform/dsm_names.h"

namespace platform {

std::span<const char* const> dsmLibraryNames() {
#if defined(_WIN64)
    // No classic TWAIN_32.DLL exists for 64-bit processes; the 2.x manager comes first.
    static constexpr const char* names[] = {"TWAINDSM.DLL", "TWAIN_32.DLL"};
#else
    static constexpr const char* names[] = {"TWAIN_32.DLL"};
#endif
    return names;
}

}  // namespace platform
