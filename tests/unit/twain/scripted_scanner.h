// A scanner that follows a script and records what the data source asked of it.
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <vector>

#include "twain/scanner.h"

namespace tarnwick::testing {

// Stands for an acquired image; the data source only tests it against null.
inline Image* someImage() {
    alignas(std::max_align_t) static unsigned char storage[1];
    return reinterpret_cast<Image*>(storage);
}

struct ScannerScript {
    bool deviceOpens = true;
    // Outcome of each acquire, oldest first; an empty queue means the scan fails.
    std::deque<bool> scans;
    // Throws from showWindow: 0 none, 1 std::bad_alloc, 2 std::runtime_error.
    int showWindowThrows = 0;
    std::vector<std::string> calls;
    bool destroyed = false;
    bool readyToScan = false;
};

class ScriptedScanner : public Scanner {
  public:
    explicit ScriptedScanner(ScannerScript& script) : script_(script) {}
    ~ScriptedScanner() override { script_.destroyed = true; }

    bool isDeviceOpen() const override { return script_.deviceOpens; }
    void showWindow(bool uiOnly) override;
    void hideWindow() override { script_.calls.push_back("hideWindow"); }
    bool readyToScan() const override { return script_.readyToScan; }
    Image* acquire(bool keepAsCurrent, bool cancelAtEnd) override;
    Image* getImage() override { return nullptr; }
    void releaseImage() override {}
    TW_INT32 pendingCount() const override { return pending_; }
    void setPendingCount(TW_INT32 count) override { pending_ = count; }
    TW_UINT16 notify(TW_UINT16) override { return TWRC_SUCCESS; }
    TW_UINT16 pixelType(TW_UINT16, TW_CAPABILITY*) override { return TWRC_FAILURE; }
    TW_UINT16 bitDepth(TW_UINT16, TW_CAPABILITY*) override { return TWRC_FAILURE; }
    TW_UINT16 resolution(TW_UINT16, TW_CAPABILITY*) override { return TWRC_FAILURE; }
    TW_UINT16 nativeResolution(TW_UINT16, TW_CAPABILITY*) override { return TWRC_FAILURE; }
    TW_UINT16 physicalSize(TW_UINT16, TW_CAPABILITY*) override { return TWRC_FAILURE; }
    TW_UINT16 getCustomData(TW_CUSTOMDSDATA*) override;
    TW_UINT16 setCustomData(TW_CUSTOMDSDATA*) override;

  private:
    ScannerScript& script_;
    TW_INT32 pending_ = -1;
};

}  // namespace tarnwick::testing
