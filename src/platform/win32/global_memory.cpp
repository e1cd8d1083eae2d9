#include "platform/global_memory.h"

#include <windows.h>

namespace platform {

GlobalHandle globalAlloc(std::size_t bytes) {
    return GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes ? bytes : 1);
}

void* globalLock(GlobalHandle handle) {
    return handle ? GlobalLock(handle) : nullptr;
}

void globalUnlock(GlobalHandle handle) {
    if (handle) GlobalUnlock(handle);
}

void globalFree(GlobalHandle handle) {
    if (handle) GlobalFree(handle);
}

}  // namespace platform
