// A scanner that follows a script and records what the data source asked of it.
#pragma once

#include <cstddef>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "options/number_option.h"
#include "options/option_device.h"
#include "options/string_option.h"
#include "twain/image.h"
#include "twain/scanner.h"

namespace tarnwick::testing {

// A device that takes every value as it is sent, counting the exchanges; texts are kept per
// option.
class EchoDevice : public OptionDevice {
  public:
    bool controlBool(Word, Option&, bool value) override {
        ++exchanges;
        return value;
    }
    void controlNumbers(Word, NumberOption&) override { ++exchanges; }
    std::string controlString(Word action, Option& option, const std::string& text) override {
        ++exchanges;
        if (action == SANE_ACTION_SET_VALUE) texts[option.index] = text;
        return texts[option.index];
    }
    std::map<Word, std::string> texts;
    int exchanges = 0;
};

// The options a scripted device has for the capabilities: a mode list, a resolution range and a
// bed of 8.5 x 11 inches; with levels, brightness, contrast, threshold and gamma.
struct ScriptedOptions {
    ScriptedOptions();
    EchoDevice device;
    StringOption mode{1, "mode", "", "", 0, 32, 0, &device};
    NumberOption resolution{2, "resolution", "", "", 0, 4, 0, &device};
    NumberOption tlx{3, "tl-x", "", "", SANE_UNIT_MM, 4, 0, &device};
    NumberOption tly{4, "tl-y", "", "", SANE_UNIT_MM, 4, 0, &device};
    NumberOption brx{5, "br-x", "", "", SANE_UNIT_MM, 4, 0, &device};
    NumberOption bry{6, "br-y", "", "", SANE_UNIT_MM, 4, 0, &device};
    NumberOption brightness{7, "brightness", "", "", 0, 4, 0, &device};
    NumberOption contrast{8, "contrast", "", "", 0, 4, 0, &device};
    NumberOption threshold{9, "threshold", "", "", 0, 4, 0, &device};
    NumberOption gamma{10, "analog-gamma", "", "", 0, 4, 0, &device};
};

struct ScannerScript {
    ScannerScript();
    bool deviceOpens = true;
    bool windowSeen = true;
    // The pending count the Scan button sets (the regions, or the feeder's pages).
    TW_INT32 batch = 1;
    // Outcome of each acquire, oldest first; an empty queue means the scan fails.
    std::deque<bool> scans;
    // Why a scan that fails failed: by default the feeder ran empty.
    Word failure = SANE_STATUS_NO_DOCS;
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
    int resolution = 100;
    // The options the capabilities see; the roles start with the mode, the resolution and the
    // bed, and may point at options of a test's own (a "source" list, a paper sensor).
    // Held apart, so that the roles stay right when a script is replaced by a fresh one.
    std::unique_ptr<ScriptedOptions> options = std::make_unique<ScriptedOptions>();
    OptionRoles roles;
    // The level options join the roles.
    void withLevels();
    // What the application chose of the feeder, as setFeederChosen last heard it.
    std::optional<bool> feederChosen;
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
    Word scanFailure() const override { return failed_ ? script_.failure : SANE_STATUS_GOOD; }
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
    const OptionRoles& optionRoles() const override { return script_.roles; }
    void setFeederChosen(bool chosen) override { script_.feederChosen = chosen; }

  private:
    ScannerScript& script_;
    DataSource& owner_;
    Image* current_ = nullptr;
    TW_INT32 pending_ = -1;
    bool failed_ = false;
    TW_INT32 limit_ = -1;
};

}  // namespace tarnwick::testing
