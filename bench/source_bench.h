// The source driven in this process through DS_Entry, as the benchmarks that load tarnwick.ds
// use it, and its settings file. The program defines DSM_Entry.
#pragma once

#include <dlfcn.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/global_memory.h"
#include "twain/records.h"

namespace bench {

namespace fs = std::filesystem;

inline void write(const fs::path& file, const std::string& text) {
    std::ofstream(file) << text;
}

using Entry = TW_UINT16(TW_IDENTITY*, TW_UINT32, TW_UINT16, TW_UINT16, TW_MEMREF);

class Source {
  public:
    Source(const std::string& path, const char* product) {
        library_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (library_) entry_ = reinterpret_cast<Entry*>(dlsym(library_, "DS_Entry"));
        application_.Id = 1;
        application_.ProtocolMajor = 1;
        application_.ProtocolMinor = 8;
        application_.SupportedGroups = DG_CONTROL | DG_IMAGE;
        std::strncpy(application_.ProductName, product, sizeof application_.ProductName - 1);
    }
    ~Source() {
        if (library_) dlclose(library_);
    }
    bool loaded() const { return entry_ != nullptr; }
    TW_UINT16 call(TW_UINT32 DG, TW_UINT16 DAT, TW_UINT16 MSG, TW_MEMREF data) {
        return entry_(&application_, DG, DAT, MSG, data);
    }

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
        return rc != TWRC_FAILURE;  // CHECKSTATUS: taken, rounded to what the device offers
    }

  private:
    void* library_ = nullptr;
    Entry* entry_ = nullptr;
    TW_IDENTITY application_{};
};

// The only settings file the source finds, in `folder`: the daemon on `port` and the picture.
inline void writeSettings(const fs::path& folder, int port) {
    fs::create_directories(folder);
    for (const char* name : {"WINDIR", "ALLUSERSPROFILE", "APPDATA"}) unsetenv(name);
    setenv("USERPROFILE", folder.c_str(), 1);
    write(folder / "tarnwick.ini", "[Connection]\nHost=127.0.0.1\nPort=" + std::to_string(port) +
                                       "\nDevice=test:0\n[test:0]\ntest-picture=Color pattern\n");
}

}  // namespace bench
