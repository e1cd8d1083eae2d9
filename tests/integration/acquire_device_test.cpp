// The open scanner over a real window and daemon: which rectangle each scan takes, the pending
// count, the preview after a scan of the whole area, an opening that finds no device, and a close
// while an image is read.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <span>

#include "support/saned_fixture.h"
#include "support/settings_folders.h"
#include "support/window_controls.h"
#include "twain/data_source.h"
#include "twain/open_scanner.h"
#include "ui/backend.h"
#include "window/preview_form.h"

namespace tarnwick::testing {
namespace {

class OpenScannerTest : public ::testing::Test, protected testing_support::SettingsFolders {
  protected:
    void SetUp() override { ASSERT_TRUE(saned_.running()) << saned_.error(); }

    std::unique_ptr<OpenScanner> open(int port) {
        writeSettings(port);
        return std::make_unique<OpenScanner>(owner_);
    }
    void writeSettings(int port) {
        std::ofstream(settingsPath())
            << "[Connection]\nHost=127.0.0.1\nPort=" << port << "\nDevice=test:0\n";
    }

    SanedFixture saned_;
    DataSource owner_{ScannerFactory{}, DsmLink()};
};

TEST_F(OpenScannerTest, ABatchWalksThroughTheRegionsAndCountsDown) {
    auto scanner = open(saned_.port());
    ASSERT_TRUE(scanner->isDeviceOpen());
    TFPreview& window = scanner->window();
    window.session().regions.regionCount = 3;
    window.session().regions.regions[0] = Region{0, 0, 10, 5};
    window.session().regions.regions[1] = Region{10, 0, 30, 10};
    window.session().regions.regions[2] = Region{0, 10, 5, 30};
    scanner->beginBatch();
    EXPECT_EQ(scanner->pendingCount(), 3);
    EXPECT_EQ(window.session().regions.regionIndex, -1);
    const int widths[] = {10, 20, 5};
    for (int k = 0; k < 3; ++k) {
        Image* image = scanner->acquire(true, true);
        ASSERT_NE(image, nullptr) << k;
        EXPECT_EQ(image->right - image->left, widths[k]);
        EXPECT_EQ(image->xResolution, 50);
        EXPECT_NEAR(image->parameters.pixelsPerLine, widths[k] * 50 / 25.4, 1) << k;
        EXPECT_EQ(scanner->currentImage(), image);
    }
    EXPECT_EQ(scanner->pendingCount(), 0);
    scanner->releaseImage();
    EXPECT_EQ(scanner->getImage(), nullptr) << "nothing pending: no further scan";
}

TEST_F(OpenScannerTest, TheWholeAreaReplacesThePreviewAndTheCountStaysOpenEnded) {
    auto scanner = open(saned_.port());
    ASSERT_TRUE(scanner->isDeviceOpen());
    ASSERT_EQ(scanner->pendingCount(), -1);
    const ScanRectangle area = scanner->nextScanRectangle();
    Image* image = scanner->getImage();
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->right, area.right);
    EXPECT_EQ(image->bottom, area.bottom);
    EXPECT_EQ(scanner->pendingCount(), -1);
    // The preview is the scan reduced to what the whole page shows in the preview's box.
    const Bitmap& preview = scanner->window().previewBitmap;
    const ui::Rect box = control<ui::ScrollBox>(scanner->window(), "ImageScrollBox").clientRect();
    ASSERT_GT(image->bitmap->width(), std::min(box.width(), box.height()));
    EXPECT_EQ(preview.width(), std::min(box.width(), box.height()));
    EXPECT_EQ(preview.height(), preview.width());
    EXPECT_EQ(preview.row(0)[0], image->bitmap->row(0)[0]) << "the scan, not the placeholder";

    EXPECT_TRUE(scanner->setSingleRegion(ScanRectangle{25, 25, 50, 50}));
    EXPECT_EQ(scanner->nextScanRectangle().left, 25);
    EXPECT_EQ(scanner->window().session().regions.regionCount, 1);
}

TEST_F(OpenScannerTest, AFrameBeyondTheBedIsClampedAndScannedAsClamped) {
    auto scanner = open(saned_.port());
    ASSERT_TRUE(scanner->isDeviceOpen());
    const ScanRectangle bed = scanner->wholeScanArea();
    EXPECT_FALSE(scanner->setSingleRegion(ScanRectangle{0, 0, 508, 508}));  // 20 x 20 inches
    const ScanRectangle frame = scanner->nextScanRectangle();
    EXPECT_EQ(frame.right, bed.right);
    EXPECT_EQ(frame.bottom, bed.bottom);
    Image* image = scanner->getImage();
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->right, bed.right);
    EXPECT_NEAR(image->parameters.pixelsPerLine, bed.right * 50 / 25.4, 1);
}

TEST_F(OpenScannerTest, SettingsOnlyLeavesTheScanButtonsAsTheyWere) {
    auto scanner = open(saned_.port());
    TFPreview& window = scanner->window();
    control<ui::ToolButton>(window, "BPrint").setEnabled(false);
    const bool scanEnabled = control<ui::ToolButton>(window, "BScan").enabled();
    scanner->showWindow(true);
    EXPECT_TRUE(window.visible());
    EXPECT_EQ(control<ui::ToolButton>(window, "BScan").enabled(), scanEnabled);
    EXPECT_FALSE(control<ui::ToolButton>(window, "BPrint").enabled());
    EXPECT_FALSE(scanner->windowSeen()) << "the Linux toolkit shows nothing";
    scanner->hideWindow();
    EXPECT_FALSE(window.visible());
}

TEST_F(OpenScannerTest, WithoutADaemonNoDeviceOpens) {
    auto scanner = open(1);
    EXPECT_FALSE(scanner->isDeviceOpen());
    EXPECT_EQ(scanner->acquire(true, true), nullptr);
    EXPECT_EQ(scanner->pendingCount(), 0);
}

// Notes whether its window was still busy when it was destroyed.
class WatchedDevice : public OpenScanner {
  public:
    WatchedDevice(DataSource& owner, std::vector<bool>& destroyedBusy)
        : OpenScanner(owner), destroyedBusy_(destroyedBusy) {}
    ~WatchedDevice() override { destroyedBusy_.push_back(busy()); }

  private:
    std::vector<bool>& destroyedBusy_;
};

std::function<void()> onNotify;

TW_UINT16 TW_CALLINFO notifyingEntry(TW_IDENTITY*, TW_IDENTITY*, TW_UINT32, TW_UINT16, TW_UINT16,
                                     TW_MEMREF) {
    if (onNotify) onNotify();
    return TWRC_SUCCESS;
}

// A source on a watched device whose manager runs onNotify for each notification.
struct WatchedSource {
    WatchedSource() { EXPECT_EQ(call(DAT_IDENTITY, MSG_OPENDS, &identity), TWRC_SUCCESS); }
    ~WatchedSource() { onNotify = nullptr; }
    TW_UINT16 call(TW_UINT16 DAT, TW_UINT16 MSG, TW_MEMREF data) {
        return source.dispatch(&application, DG_CONTROL, DAT, MSG, data);
    }
    // What an application ending the session sends.
    void disableAndClose() {
        answers.push_back(call(DAT_USERINTERFACE, MSG_DISABLEDS, &ui));
        answers.push_back(call(DAT_IDENTITY, MSG_CLOSEDS, &identity));
    }

    std::vector<bool> destroyedBusy;
    WatchedDevice* device = nullptr;
    DataSource source{
        [this](DataSource& owner) {
            auto made = std::make_unique<WatchedDevice>(owner, destroyedBusy);
            device = made.get();
            return made;
        },
        DsmLink({[] { return std::span<const char* const>(); },
                 [](const char*) -> platform::LibraryHandle { return nullptr; },
                 [](platform::LibraryHandle, const char*) { return platform::FunctionAddress{}; },
                 [](const char*) {
                     return reinterpret_cast<platform::FunctionAddress>(&notifyingEntry);
                 }})};
    TW_IDENTITY application{}, identity{};
    TW_USERINTERFACE ui{1, 0, nullptr};  // ShowUI
    std::vector<TW_UINT16> answers;
};

TEST_F(OpenScannerTest, ClosedWhileReadingTheScannerOutlivesTheRead) {
    writeSettings(saned_.port());
    WatchedSource s;
    // The application ends the session from a message the read processes.
    std::function<void()> closeWhileReading = [&] {
        if (!s.device->window().session().reading()) return ui::backend().post(closeWhileReading);
        s.disableAndClose();
    };
    ui::backend().post(closeWhileReading);
    s.call(DAT_USERINTERFACE, MSG_ENABLEDS, &s.ui);  // unseen window: presses Scan
    EXPECT_EQ(s.answers, (std::vector<TW_UINT16>{TWRC_SUCCESS, TWRC_SUCCESS}));
    EXPECT_EQ(s.source.state(), 3);
    EXPECT_EQ(s.destroyedBusy, std::vector<bool>{false});
}

TEST_F(OpenScannerTest, ClosedFromTheCloseRequestTheScannerOutlivesTheWindowsHandler) {
    writeSettings(saned_.port());
    WatchedSource s;
    s.source.setState(5);  // enabled
    onNotify = [&] { s.disableAndClose(); };
    s.device->window().close();  // the close button asks the application to close the source
    EXPECT_EQ(s.answers, (std::vector<TW_UINT16>{TWRC_SUCCESS, TWRC_SUCCESS}));
    EXPECT_TRUE(s.destroyedBusy.empty());
    TW_IDENTITY own{};
    s.call(DAT_IDENTITY, MSG_GET, &own);  // the next triplet finds it unwound
    EXPECT_EQ(s.destroyedBusy, std::vector<bool>{false});
}

}  // namespace
}  // namespace tarnwick::testing
