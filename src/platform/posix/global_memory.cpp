#include "platform/global_memory.h"

#include <cstdlib>

namespace platform {

GlobalHandle globalAlloc(std::size_t bytes) {
    return std::calloc(bytes ? bytes : 1, 1);
}

void* globalLock(GlobalHandle handle) {
    return handle;
}

void globalUnlock(GlobalHandle) {}

void globalFree(GlobalHandle handle) {
    std::free(handle);
}

}  // namespace platform
