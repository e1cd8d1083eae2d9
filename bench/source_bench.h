// What the benchmarks that load tarnwick.ds share: a private saned with the test backend, and
// the source driven in this process through DS_Entry. The program defines DSM_Entry.
#pragma once

#include <dlfcn.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/global_memory.h"
#include "sane/connection.h"
#include "twain/records.h"

extern char** environ;

namespace bench {

using namespace tarnwick;
namespace fs = std::filesystem;

inline void write(const fs::path& file, const std::string& text) {
    std::ofstream(file) << text;
}

using Entry = TW_UINT16(TW_IDENTITY*, TW_UINT32, TW_UINT16, TW_UINT16, TW_MEMREF);

inline pid_t startSaned(const fs::path& config, int port) {
    std::string env = "SANE_CONFIG_DIR=" + config.string();
    std::vector<char*> envp;
    for (char** e = environ; *e; ++e) envp.push_back(*e);
    envp.push_back(env.data());
    envp.push_back(nullptr);
    const std::string portText = std::to_string(port);
    const char* argv[] = {"saned",          "-l", "-b", "127.0.0.1", "-p",
                          portText.c_str(), "-d", "0",  nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, "saned", nullptr, nullptr, const_cast<char**>(argv), envp.data()) != 0)
        return 0;
    return pid;
}

// True once our saned answers; false when it quit (another daemon holds the port) or never did.
inline bool waitForDaemon(pid_t saned, int port) {
    for (int i = 0; i < 50; ++i) {
        if (waitpid(saned, nullptr, WNOHANG) == saned) return false;
        Connection probe("127.0.0.1", "bench", port, nullptr);
        const bool answered = probe.connect(true);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (waitpid(saned, nullptr, WNOHANG) == saned) return false;
        if (answered) return true;
    }
    return false;
}

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

// The saned configuration of the test backend on the 200 mm bed, and a per-user settings file
// for the source (the only one it finds) pointing at it with the colour pattern.
inline void writeConfiguration(const fs::path& root, int port) {
    for (const char* folder : {"saned", "net", "user"}) fs::create_directories(root / folder);
    write(root / "saned" / "dll.conf", "test\n");
    write(root / "saned" / "saned.conf", "127.0.0.1\n");
    write(root / "saned" / "test.conf",
          "number_of_devices 1\nmode Gray\ndepth 8\nresolution_min 1.0\nresolution_max 1200.0\n"
          "resolution_quant 1.0\nresolution 50.0\ngeometry_min 0.0\ngeometry_max 200.0\n"
          "geometry_quant 1.0\ntl_x 0.0\ntl_y 0.0\nbr_x 80.0\nbr_y 100.0\n");
    write(root / "net" / "dll.conf", "net\n");
    write(root / "net" / "net.conf", "127.0.0.1\n");
    for (const char* name : {"WINDIR", "ALLUSERSPROFILE", "APPDATA"}) unsetenv(name);
    setenv("USERPROFILE", (root / "user").c_str(), 1);
    write(root / "user" / "tarnwick.ini",
          "[Connection]\nHost=127.0.0.1\nPort=" + std::to_string(port) +
              "\nDevice=test:0\n[test:0]\ntest-picture=Color pattern\n");
}

}  // namespace bench
