// The open scanner over a real window and daemon: which rectangle each scan takes, the pending
// count, the preview after a scan of the whole area, and an opening that finds no device.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "support/preview_probe.h"
#include "support/saned_fixture.h"
#include "support/settings_folders.h"
#include "twain/data_source.h"
#include "twain/sane_device.h"
#include "window/preview_form.h"

namespace tarnwick::testing {
namespace {

class OpenScanner : public ::testing::Test, protected testing_support::SettingsFolders {
  protected:
    void SetUp() override { ASSERT_TRUE(saned_.running()) << saned_.error(); }

    std::unique_ptr<SaneDevice> open(int port) {
        std::ofstream(settingsPath())
            << "[Connection]\nHost=127.0.0.1\nPort=" << port << "\nDevice=test:0\n";
        return std::make_unique<SaneDevice>(owner_);
    }

    SanedFixture saned_;
    DataSource owner_{ScannerFactory{}, DsmLink()};
};

TEST_F(OpenScanner, ABatchWalksThroughTheRegionsAndCountsDown) {
    auto scanner = open(saned_.port());
    ASSERT_TRUE(scanner->isDeviceOpen());
    TFPreview& window = scanner->window();
    window.regions.regionCount = 3;
    window.regions.regions[0] = Region{0, 0, 10, 5};
    window.regions.regions[1] = Region{10, 0, 30, 10};
    window.regions.regions[2] = Region{0, 10, 5, 30};
    scanner->beginBatch();
    EXPECT_EQ(scanner->pendingCount(), 3);
    EXPECT_EQ(window.regions.regionIndex, -1);
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

TEST_F(OpenScanner, TheWholeAreaReplacesThePreviewAndTheCountStaysOpenEnded) {
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
    const ui::Rect box = probe(scanner->window()).ImageScrollBox.clientRect();
    ASSERT_GT(image->bitmap->width(), std::min(box.width(), box.height()));
    EXPECT_EQ(preview.width(), std::min(box.width(), box.height()));
    EXPECT_EQ(preview.height(), preview.width());
    EXPECT_EQ(preview.row(0)[0], image->bitmap->row(0)[0]) << "the scan, not the placeholder";

    EXPECT_TRUE(scanner->setSingleRegion(ScanRectangle{25, 25, 50, 50}));
    EXPECT_EQ(scanner->nextScanRectangle().left, 25);
    EXPECT_EQ(scanner->window().regions.regionCount, 1);
}

TEST_F(OpenScanner, AFrameBeyondTheBedIsClampedAndScannedAsClamped) {
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

TEST_F(OpenScanner, SettingsOnlyLeavesTheScanButtonsAsTheyWere) {
    auto scanner = open(saned_.port());
    TFPreview& window = scanner->window();
    window.BPrint.setEnabled(false);
    const bool scanEnabled = window.BScan.enabled();
    scanner->showWindow(true);
    EXPECT_TRUE(window.visible());
    EXPECT_EQ(window.BScan.enabled(), scanEnabled);
    EXPECT_FALSE(window.BPrint.enabled());
    EXPECT_FALSE(scanner->windowSeen()) << "the Linux toolkit shows nothing";
    scanner->hideWindow();
    EXPECT_FALSE(window.visible());
}

TEST_F(OpenScanner, WithoutADaemonNoDeviceOpens) {
    auto scanner = open(1);
    EXPECT_FALSE(scanner->isDeviceOpen());
    EXPECT_EQ(scanner->acquire(true, true), nullptr);
    EXPECT_EQ(scanner->pendingCount(), 0);
}

}  // namespace
}  // namespace tarnwick::testing
