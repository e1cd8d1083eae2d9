// Movable global memory: the blocks TWAIN hands between source and application (TW_HANDLE).
#pragma once

#include <cstddef>

namespace platform {

using GlobalHandle = void*;

// A zero-filled block of at least `bytes` bytes (at least one); null when memory is short.
// Windows: GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT). Linux, following the Linux source
// manager's convention that applications rely on: the handle is the calloc'ed block itself.
GlobalHandle globalAlloc(std::size_t bytes);
// The block's address while locked; null for a null or invalid handle.
void* globalLock(GlobalHandle handle);
void globalUnlock(GlobalHandle handle);
// Releases a block; the receiver of a handle does this (Linux: with free).
void globalFree(GlobalHandle handle);

}  // namespace platform
