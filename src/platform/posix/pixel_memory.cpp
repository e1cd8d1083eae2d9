#include "platform/pixel_memory.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>

namespace platform {

namespace {

// Smaller blocks come from the heap, which keeps them for reuse.
constexpr std::size_t kFromSystem = std::size_t{1} << 20;
constexpr std::size_t kHugePage = std::size_t{2} << 20;

// Whole huge pages: a partial one at the end would be backed by 4 KiB pages.
std::size_t mappedSize(std::size_t bytes) {
    return (bytes + kHugePage - 1) & ~(kHugePage - 1);
}

}  // namespace

void* allocateZeroed(std::size_t bytes) {
    if (bytes < kFromSystem) return std::calloc(bytes ? bytes : 1, 1);
    const std::size_t size = mappedSize(bytes);
    if (size < bytes || size > SIZE_MAX - kHugePage) return nullptr;
    // One huge page more than needed, so that a start on a huge-page boundary lies inside.
    void* area =
        mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (area == MAP_FAILED) return nullptr;
    const auto begin = reinterpret_cast<std::uintptr_t>(area);
    const std::uintptr_t start = (begin + kHugePage - 1) & ~(kHugePage - 1);
    if (start > begin) munmap(area, start - begin);
    munmap(reinterpret_cast<void*>(start + size), begin + kHugePage - start);
    void* block = reinterpret_cast<void*>(start);
    madvise(block, size, MADV_HUGEPAGE);  // a hint: without it the block still works
    return block;
}

void freeZeroed(void* block, std::size_t bytes) {
    if (!block) return;
    if (bytes < kFromSystem)
        std::free(block);
    else
        munmap(block, mappedSize(bytes));
}

}  // namespace platform
