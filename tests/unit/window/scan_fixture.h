// A scanning window connected to a private saned with the test backend, and a scanner that
// acquires as the data source's scanner does: it picks the region, writes its area to the
// geometry options and reads the image into the scan bitmap.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/debug_log.h"
#include "options/device.h"
#include "options/number_option.h"
#include "support/saned_fixture.h"
#include "twain/records.h"
#include "window/preview_form.h"
#include "window_fixture.h"

namespace tarnwick::testing {

// Stands for an acquired image; the window only tests it against null.
inline Image* acquiredImage() {
    alignas(std::max_align_t) static unsigned char storage[1];
    return reinterpret_cast<Image*>(storage);
}

class AcquiringScanner : public RecordingScanner {
  public:
    struct Scan {
        Region area;     // the rectangle chosen
        Region options;  // tl-x, tl-y, br-x, br-y read back from the daemon afterwards
        int width = 0, height = 0;
    };

    Image* acquire(bool, bool cancelAtEnd) override {
        ++acquired;
        TFPreview& w = *window;
        Region area = w.scanArea;
        if (w.regions.regionCount > 0) {
            if (w.isAdfScan()) {
                area = w.regions.regions[0];
            } else {
                if (w.regions.regionIndex < 0) w.regions.regionIndex = 0;
                if (w.regions.regionIndex >= w.regions.regionCount) return fail(cancelAtEnd);
                area = w.regions.regions[static_cast<std::size_t>(w.regions.regionIndex++)];
            }
        }
        w.setScanArea(area.x1, area.y1, area.x2, area.y2);
        if (!w.scanInto(w.scanBitmap)) return fail(cancelAtEnd);
        Scan scan{area, {}, w.scanBitmap.width(), w.scanBitmap.height()};
        if (w.device) {
            scan.options = {readBack("tl-x"), readBack("tl-y"), readBack("br-x"), readBack("br-y")};
        }
        scans.push_back(scan);
        if (w.regions.regionCount == 0) {
            w.previewBitmap = w.scanBitmap;
            w.ZoomChange();
        }
        if (pending >= 0) --pending;
        return acquiredImage();
    }
    // What the transfers do after each image: the next one while images are pending.
    Image* getImage() override { return pending != 0 ? acquire(true, true) : nullptr; }

    TFPreview* window = nullptr;
    std::vector<Scan> scans;
    int failed = 0;

  private:
    Image* fail(bool cancelAtEnd) {
        ++failed;
        if (cancelAtEnd && (window->cancelType & 2) && window->device) window->device->cancel();
        pending = 0;
        return nullptr;
    }
    int readBack(const std::string& name) {
        auto* option = dynamic_cast<NumberOption*>(window->device->findOption(name));
        if (!option) return -1;
        option->refresh();
        return static_cast<int>(option->values.front());
    }
};

// The window on test:0 of a private saned, with a small quick scan area.
class ScanWindowTest : public WindowTest {
  protected:
    void SetUp() override {
        ASSERT_TRUE(saned.running()) << saned.error();
        writeSettings("[Connection]\nHost=127.0.0.1\nPort=" + std::to_string(saned.port()) +
                      "\nDevice=test:0\nGetDevices=0\n" + extraSettings);
    }
    void TearDown() override { stopDebugLog(); }

    TFPreview& openScanning() {
        window = std::make_unique<TFPreview>(std::make_unique<QuietServices>());
        window->FormActivate();
        window->saneDevice = &acquiring;
        acquiring.window = window.get();
        window->show();
        EXPECT_NE(window->device, nullptr);
        return *window;
    }
    NumberOption& number(const std::string& name) {
        return dynamic_cast<NumberOption&>(option(name));
    }
    void setNumber(const std::string& name, double value) {
        window->device->setNumber(number(name), value);
    }
    std::string setString(const std::string& name, const std::string& text) {
        return window->device->controlString(SANE_ACTION_SET_VALUE, option(name), text);
    }
    void startLog() { startDebugLog(folder.path()); }
    // How often the text stands in the debug log begun by startLog, which ends here.
    int logged(const std::string& text) {
        stopDebugLog();
        const std::string log = testing_support::readWholeFile(folder.file("tarnwick.dbg"));
        int count = 0;
        for (std::size_t at = log.find(text); at != std::string::npos;
             at = log.find(text, at + text.size()))
            ++count;
        return count;
    }

    SanedFixture saned;
    std::string extraSettings;
    AcquiringScanner acquiring;
};

}  // namespace tarnwick::testing
