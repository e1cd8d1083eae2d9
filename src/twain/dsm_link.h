// The way back to the application: the Data Source Manager's DSM_Entry.
#pragma once

#include <functional>
#include <span>

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

    bool libraryLoaded() const { return library_ != nullptr; }
    // Tries the manager libraries in order; keeps the first that loads.
    void loadLibrary();
    // DSM_Entry of the loaded library, or else the running program's own; null when neither
    // exists. A found address is kept.
    DSMENTRYPROC entry();

  private:
    Loader loader_;
    platform::LibraryHandle library_ = nullptr;
    DSMENTRYPROC entry_ = nullptr;
};

}  // namespace tarnwick
