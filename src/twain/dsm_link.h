// The way back to the application: the Data Source Manager's DSM_Entry, and the memory functions
// of the handles the source gives the application.
#pragma once

#include <cstddef>
#include <functional>
#include <span>

#include "platform/global_memory.h"
#include "platform/library.h"
#include "twain/records.h"

namespace tarnwick {

class DsmLink {
  public:
    // The library services the link uses; tests replace them.
    struct Loader {
        std::function<std::span<const char* const>()> libraryNames;
        std::function<platform::LibraryHandle(const char*)> loadLibrary;
        std::function<platform::FunctionAddress(platform::LibraryHandle, const char*)> findFunction;
        std::function<platform::FunctionAddress(const char*)> findProcessFunction;
    };

    // The platform's manager libraries.
    DsmLink();
    explicit DsmLink(Loader loader);

    // DAT_ENTRYPOINT from a TWAIN 2 manager: its DSM_Entry receives the notifications, and its
    // memory functions make the handles when it offered all four. False for a null DSM_Entry.
    bool adoptEntryPoint(const TW_ENTRYPOINT& entryPoint);
    // True once a manager said where it is; no library is then looked for.
    bool managerKnown() const { return library_ != nullptr || offered_.DSM_Entry != nullptr; }
    // A TWAIN 2 manager hands notifications to the application itself (by its callback, or at
    // the application's next DAT_EVENT); a 1.x manager leaves the DAT_EVENT way to the source.
    bool managerQueuesEvents() const { return offered_.DSM_Entry != nullptr; }
    // Tries the manager libraries in order; keeps the first that loads.
    void loadLibrary();
    // The adopted DSM_Entry, else that of the loaded library, else the running program's own;
    // null when none exists. A found address is kept.
    DSMENTRYPROC entry();

    // A zero-filled handle of `bytes` bytes for the application; null when memory is short.
    platform::GlobalHandle allocate(std::size_t bytes) const;
    void* lock(platform::GlobalHandle handle) const;
    void unlock(platform::GlobalHandle handle) const;
    void release(platform::GlobalHandle handle) const;

  private:
    bool managerMemory() const;

    Loader loader_;
    platform::LibraryHandle library_ = nullptr;
    DSMENTRYPROC entry_ = nullptr;
    TW_ENTRYPOINT offered_{};
};

}  // namespace tarnwick
