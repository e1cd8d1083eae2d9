#include "twain/dsm_link.h"

#include <cstring>

#include "platform/dsm_names.h"

namespace tarnwick {

namespace {

DSMENTRYPROC asEntry(platform::FunctionAddress address) {
    return reinterpret_cast<DSMENTRYPROC>(address);
}

}  // namespace

DsmLink::DsmLink()
    : DsmLink(Loader{platform::dsmLibraryNames, platform::loadLibrary, platform::findFunction,
                     platform::findProcessFunction}) {}

DsmLink::DsmLink(Loader loader) : loader_(std::move(loader)) {}

bool DsmLink::adoptEntryPoint(const TW_ENTRYPOINT& entryPoint) {
    if (!entryPoint.DSM_Entry) return false;
    offered_ = entryPoint;
    entry_ = entryPoint.DSM_Entry;
    return true;
}

void DsmLink::loadLibrary() {
    for (const char* name : loader_.libraryNames()) {
        library_ = loader_.loadLibrary(name);
        if (library_) return;
    }
}

DSMENTRYPROC DsmLink::entry() {
    if (!entry_ && library_) entry_ = asEntry(loader_.findFunction(library_, "DSM_Entry"));
    // A program that loads the source itself acts as its manager.
    if (!entry_ && !library_) entry_ = asEntry(loader_.findProcessFunction("DSM_Entry"));
    return entry_;
}

bool DsmLink::managerMemory() const {
    return offered_.DSM_MemAllocate && offered_.DSM_MemFree && offered_.DSM_MemLock &&
           offered_.DSM_MemUnlock;
}

platform::GlobalHandle DsmLink::allocate(std::size_t bytes) const {
    if (!managerMemory()) return platform::globalAlloc(bytes);
    const std::size_t size = bytes == 0 ? 1 : bytes;
    if (size > 0xFFFFFFFFu) return nullptr;
    platform::GlobalHandle handle = offered_.DSM_MemAllocate(static_cast<TW_UINT32>(size));
    // The manager's blocks need not be zero-filled.
    if (void* block = handle ? offered_.DSM_MemLock(handle) : nullptr) {
        std::memset(block, 0, size);
        offered_.DSM_MemUnlock(handle);
    }
    return handle;
}

void* DsmLink::lock(platform::GlobalHandle handle) const {
    if (!handle) return nullptr;
    return managerMemory() ? offered_.DSM_MemLock(handle) : platform::globalLock(handle);
}

void DsmLink::unlock(platform::GlobalHandle handle) const {
    if (!handle) return;
    if (managerMemory())
        offered_.DSM_MemUnlock(handle);
    else
        platform::globalUnlock(handle);
}

void DsmLink::release(platform::GlobalHandle handle) const {
    if (!handle) return;
    if (managerMemory())
        offered_.DSM_MemFree(handle);
    else
        platform::globalFree(handle);
}

}  // namespace tarnwick
