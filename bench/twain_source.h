// The built tarnwick.ds loaded into a benchmark, driven through DS_Entry; the program itself
// is the source's manager (DSM_Entry) and records its notifications.
#pragma once

#include <dlfcn.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/global_memory.h"
#include "twain/records.h"

extern "C" TW_UINT16 DSM_Entry(TW_IDENTITY*, TW_IDENTITY*, TW_UINT32, TW_UINT16, TW_UINT16,
                               TW_MEMREF);

namespace bench {

inline std::vector<TW_UINT16> notifications;

class Source {
  public:
    explicit Source(const std::string& path, const char* name) {
        library_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (library_) entry_ = reinterpret_cast<Entry*>(dlsym(library_, "DS_Entry"));
        application_.Id = 1;
        application_.ProtocolMajor = 1;
        application_.ProtocolMinor = 8;
        application_.SupportedGroups = DG_CONTROL | DG_IMAGE;
        std::strncpy(application_.ProductName, name, sizeof application_.ProductName - 1);
        // As a TWAIN 2 manager does: without it the source would load a manager installed on
        // the machine and tell that one of its images.
        TW_ENTRYPOINT entry{sizeof(TW_ENTRYPOINT), DSM_Entry, nullptr, nullptr, nullptr, nullptr};
        if (entry_) call(DG_CONTROL, DAT_ENTRYPOINT, MSG_SET, &entry);
    }
    ~Source() {
        if (library_) dlclose(library_);
    }
    Source(const Source&) = delete;
    Source& operator=(const Source&) = delete;

    bool loaded() const { return entry_ != nullptr; }
    TW_UINT16 call(TW_UINT32 DG, TW_UINT16 DAT, TW_UINT16 MSG, TW_MEMREF data) {
        return entry_(&application_, DG, DAT, MSG, data);
    }

    // A one-value capability; CHECKSTATUS (taken, rounded to what the device offers) counts.
    bool set(TW_UINT16 cap, TW_UINT16 itemType, TW_UINT32 item) {
        TW_CAPABILITY c{cap, TWON_ONEVALUE, platform::globalAlloc(sizeof(TW_ONEVALUE))};
        auto* block = static_cast<std::uint8_t*>(platform::globalLock(c.hContainer));
        if (!block) return false;
        std::memcpy(block, &itemType, 2);
        std::memcpy(block + 2, &item, 4);
        platform::globalUnlock(c.hContainer);
        void* sent = c.hContainer;
        const TW_UINT16 rc = call(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &c);
        platform::globalFree(sent);
        if (c.hContainer != sent) platform::globalFree(c.hContainer);
        return rc != TWRC_FAILURE;
    }

    // Colour at `dpi` over the square of `areaMm` from the bed's corner, by `mechanism`.
    bool negotiateColourSquare(TW_UINT16 mechanism, TW_UINT32 dpi, double areaMm) {
        bool ok = set(ICAP_XFERMECH, TWTY_UINT16, mechanism) &&
                  set(ICAP_PIXELTYPE, TWTY_UINT16, TWPT_RGB) &&
                  set(ICAP_XRESOLUTION, TWTY_FIX32, dpi) && set(ICAP_YRESOLUTION, TWTY_FIX32, dpi);
        // A hair over the area, as the device's edges are whole millimetres.
        const TW_FIX32 edge{static_cast<TW_INT16>(areaMm / 25.4), static_cast<TW_UINT16>(0xE000)};
        TW_IMAGELAYOUT layout{};
        layout.Frame = {TW_FIX32{0, 0}, TW_FIX32{0, 0}, edge, edge};
        return ok && call(DG_IMAGE, DAT_IMAGELAYOUT, MSG_SET, &layout) != TWRC_FAILURE;
    }

  private:
    using Entry = TW_UINT16(TW_IDENTITY*, TW_UINT32, TW_UINT16, TW_UINT16, TW_MEMREF);
    void* library_ = nullptr;
    Entry* entry_ = nullptr;
    TW_IDENTITY application_{};
};

// tarnwick.ds beside the running benchmark.
inline std::string defaultModule() {
    std::error_code ignored;
    return (std::filesystem::read_symlink("/proc/self/exe", ignored).parent_path() / "tarnwick.ds")
        .string();
}

}  // namespace bench

// The source reaches its application through the process's DSM_Entry, as in the harness.
extern "C" TW_UINT16 DSM_Entry(TW_IDENTITY*, TW_IDENTITY*, TW_UINT32 DG, TW_UINT16 DAT,
                               TW_UINT16 MSG, TW_MEMREF) {
    if (DG != DG_CONTROL || DAT != DAT_NULL) return TWRC_FAILURE;
    bench::notifications.push_back(MSG);
    return TWRC_SUCCESS;
}
