// Memory for an image's pixels: zero-filled blocks that cost no fill before the rows arrive.
// Large blocks come straight from the system (Linux: backed by huge pages where it can, as one
// page fault per 4 KiB costs as much as the scan's decoding).
#pragma once

#include <cstddef>

namespace platform {

// A zero-filled block of `bytes` bytes (at least one); null when memory is short.
void* allocateZeroed(std::size_t bytes);
// Releases a block allocateZeroed gave for that many bytes.
void freeZeroed(void* block, std::size_t bytes);

}  // namespace platform
