// A scanner that follows a script and records what the data source asked of it.
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <vector>

#include "twain/feeder_capabilities.h"
#include "twain/image.h"
#include "twain/scanner.h"

namespace tarnwick::testing {

struct ScannerScript {
    bool deviceOpens = true;
    bool windowSeen = true;
    // The pending count the Scan button sets (the regions, or the feeder's pages).
    TW_INT32 batch = 1;
    // Outcome of each acquire, oldest first; an empty queue means the scan fails.
    std::deque<bool> scans;
    // What every successful scan yields; all images share the one bitmap, as the window's do.
    Bitmap bitmap;
    Image image;
    // Throws from showWindow: 0 none, 1 std::bad_alloc, 2 std::runtime_error.
    int showWindowThrows = 0;
    ScanRectangle nextRectangle;
    ScanRectangle wholeArea;
    std::vector<ScanRectangle> regionsSet;
    bool frameTaken = true;  // what setSingleRegion answers
    std::vector<std::string> calls;
    bool destroyed = false;

    // Every scan gives an image of these parameters; byte i of row y holds 16 * y + i.
    void scanYields(const FrameParameters& parameters, int xResolution = 100);
    bool readyToScan = false;
    // Whether the device has brightness and contrast options, and a mode option.
    bool levels = false;
    bool modes = true;
    int resolution = 100;
    // The device's "source" option and paper sensor, served as the open scanner serves them.
    Option* sourceOption = nullptr;
    Option* paperSensor = nullptr;
};

// Keeps the current image and the pending count as the open scanner does: a getImage
// without an image scans when images are pending, and each scan counts one image.
class ScriptedScanner : public Scanner {
  public:
    ScriptedScanner(ScannerScript& script, DataSource& owner) : script_(script), owner_(owner) {}
    ~ScriptedScanner() override { script_.destroyed = true; }

    bool isDeviceOpen() const override { return script_.deviceOpens; }
    void showWindow(bool uiOnly) override;
    void hideWindow() override { script_.calls.push_back("hideWindow"); }
    bool windowSeen() const override { return script_.windowSeen; }
    bool busy() const override { return false; }
    void pressScan() override;
    void beginBatch() override {
        script_.calls.push_back("beginBatch");
        pending_ = script_.batch;
    }
    bool readyToScan() const override { return script_.readyToScan; }
    Image* acquire(bool keepAsCurrent, bool cancelAtEnd) override;
    Image* getImage() override;
    void releaseImage() override;
    TW_INT32 pendingCount() const override { return pending_; }
    void setPendingCount(TW_INT32 count) override { pending_ = count; }
    ScanRectangle nextScanRectangle() const override { return script_.nextRectangle; }
    ScanRectangle wholeScanArea() const override { return script_.wholeArea; }
    // The frame set becomes the next scan's, as on the device.
    bool setSingleRegion(const ScanRectangle& region) override {
        script_.regionsSet.push_back(region);
        script_.nextRectangle = region;
        return script_.frameTaken;
    }
    void scanAhead() override { script_.calls.push_back("scanAhead"); }
    TW_INT32 transferLimit() const override { return limit_; }
    void setTransferLimit(TW_INT32 limit) override { limit_ = limit; }
    int scanResolution() override { return script_.resolution; }
    TW_UINT16 notify(TW_UINT16) override { return TWRC_SUCCESS; }
    TW_UINT16 pixelType(TW_UINT16, TW_CAPABILITY*) override { return option("pixelType"); }
    TW_UINT16 bitDepth(TW_UINT16, TW_CAPABILITY*) override { return option("bitDepth"); }
    TW_UINT16 resolution(TW_UINT16, TW_CAPABILITY*) override { return option("resolution"); }
    TW_UINT16 nativeResolution(TW_UINT16, TW_CAPABILITY*) override {
        return option("nativeResolution");
    }
    TW_UINT16 physicalSize(TW_UINT16, TW_CAPABILITY*) override { return option("physicalSize"); }
    bool servesLevel(TW_UINT16) const override { return script_.levels; }
    bool servesPixelFormat() const override { return script_.modes; }
    TW_UINT16 level(TW_UINT16, TW_UINT16, TW_CAPABILITY*) override { return option("level"); }
    bool servesFeeder(TW_UINT16 cap) const override {
        return servesFeederCapability(script_.sourceOption, cap);
    }
    TW_UINT16 feeder(TW_UINT16 cap, TW_UINT16 msg, TW_CAPABILITY* capability) override {
        return feederCapability(owner_, script_.sourceOption, script_.paperSensor, cap, msg,
                                capability);
    }
    TW_UINT16 getCustomData(TW_CUSTOMDSDATA*) override;
    TW_UINT16 setCustomData(TW_CUSTOMDSDATA*) override;

  private:
    TW_UINT16 option(const char* name) {
        script_.calls.push_back(name);
        return TWRC_SUCCESS;
    }

    ScannerScript& script_;
    DataSource& owner_;
    Image* current_ = nullptr;
    TW_INT32 pending_ = -1;
    TW_INT32 limit_ = -1;
};

}  // namespace tarnwick::testing
