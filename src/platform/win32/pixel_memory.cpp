#include "platform/pixel_memory.h"

#include <windows.h>

#include <cstdlib>

namespace platform {

namespace {

// Smaller blocks come from the heap, which keeps them for reuse.
constexpr std::size_t kFromSystem = std::size_t{1} << 20;

}  // namespace

void* allocateZeroed(std::size_t bytes) {
    if (bytes < kFromSystem) return std::calloc(bytes ? bytes : 1, 1);
    return VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void freeZeroed(void* block, std::size_t bytes) {
    if (!block) return;
    if (bytes < kFromSystem)
        std::free(block);
    else
        VirtualFree(block, 0, MEM_RELEASE);
}

}  // namespace platform
