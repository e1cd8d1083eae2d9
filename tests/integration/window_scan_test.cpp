// The scanning window end to end on the headless toolkit: test:0 of a real saned, a preview,
// two regions drawn with the mouse, and a batch that scans both into the scan bitmap.
#include <gtest/gtest.h>

#include <cstdlib>

#include "unit/window/scan_fixture.h"

namespace tarnwick::testing {
namespace {

using WindowScan = ScanWindowTest;

TEST_F(WindowScan, PreviewTwoRegionsDrawnWithTheMouseAndScanned) {
    TFPreview& w = openScanning();
    ASSERT_NE(w.session().scanner(), nullptr);
    setNumber("resolution", 25);
    ASSERT_TRUE(driver.click(control<ui::ToolButton>(w, "BPreview")));
    ASSERT_GT(w.previewBitmap.width(), 0);
    ASSERT_GT(control<ui::PaintBox>(w, "PaintBox").width(), 100)
        << "the whole page fills the preview";

    const auto drag = [&](ui::Point from, ui::Point to) {
        driver.mouseMove(control<ui::PaintBox>(w, "PaintBox"), from);
        driver.mouseDown(control<ui::PaintBox>(w, "PaintBox"), from);
        driver.mouseMove(control<ui::PaintBox>(w, "PaintBox"), to);
        driver.mouseUp(control<ui::PaintBox>(w, "PaintBox"), to);
    };
    drag({10, 10}, {60, 40});
    drag({120, 90}, {70, 50});
    ASSERT_EQ(w.session().regions.regionCount, 2);
    const Region first = w.session().regions.regions[0], second = w.session().regions.regions[1];
    // Screen pixels become units through the zoom and the preview's scale.
    const double r = w.zoomFactor() / w.unitsPerPreviewPixel();
    EXPECT_EQ(first, (Region{static_cast<int>(10 / r), static_cast<int>(10 / r),
                             static_cast<int>(60 / r), static_cast<int>(40 / r)}));
    EXPECT_LT(second.x1, second.x2);

    ASSERT_TRUE(driver.click(control<ui::ToolButton>(w, "BScan")));
    EXPECT_EQ(scanner.messages, (std::vector<TW_UINT16>{MSG_XFERREADY}));
    ASSERT_TRUE(scanner.getImage());
    ASSERT_EQ(scanner.scans.size(), 2u);
    EXPECT_EQ(scanner.pending(), 0);
    const Region wanted[] = {first, second};
    for (std::size_t i = 0; i < 2; ++i) {
        const WindowScanner::Scan& scan = scanner.scans[i];
        EXPECT_EQ(scan.options, wanted[i]) << "tl-x, tl-y, br-x, br-y as the daemon has them";
        // Millimetres at 25 dpi.
        EXPECT_NEAR(scan.width, (wanted[i].x2 - wanted[i].x1) * 25 / 25.4, 1.0);
        EXPECT_NEAR(scan.height, (wanted[i].y2 - wanted[i].y1) * 25 / 25.4, 1.0);
    }
    EXPECT_EQ(w.session().scanBitmap.width(), scanner.scans[1].width);
    EXPECT_EQ(w.session().regions.regionCount, 2) << "the regions stay for the next batch";
}

}  // namespace
}  // namespace tarnwick::testing
