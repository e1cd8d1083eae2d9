// Previews and scan batches of the window against test:0 of a private saned.
#include <gtest/gtest.h>

#include <functional>

#include "options/simple_options.h"
#include "scan_fixture.h"
#include "ui/backend.h"

namespace tarnwick::testing {
namespace {

constexpr const char* kCancelLine = "\tcancelling the scan\n";

// A device button option that is pressed.
class PressedButtonOption : public BoolOption {
  public:
    PressedButtonOption() : BoolOption(99, "wait-for-button", "", "", 0, 4, 0, nullptr) {}
    std::string valueText() override { return "yes"; }
};

class ScanLoop : public ScanWindowTest {
  protected:
    TFPreview& w() { return *window; }
    void setRegions(std::initializer_list<Region> list) {
        w().session().regions.regionCount = 0;
        for (const Region& g : list)
            w().session()
                .regions.regions[static_cast<std::size_t>(w().session().regions.regionCount++)] = g;
    }
    int resolution() {
        number("resolution").refresh();
        return static_cast<int>(number("resolution").values.front());
    }
};

TEST_F(ScanLoop, PreviewAtTheLowestResolutionThatFillsThePreviewThenTheOldOneBack) {
    openScanning();
    setNumber("resolution", 50);
    setRegions({{10, 10, 40, 40}});
    ASSERT_TRUE(driver.click(control<ui::ToolButton>(w(), "BPreview")));
    // The whole page fits the preview area without being enlarged (the test backend's 1 dpi
    // gave 7 pixels), nor taken at more than that.
    const double fit = w().zoomFactor();
    EXPECT_LE(fit, 1.0);
    EXPECT_GT(fit, 0.97);
    EXPECT_DOUBLE_EQ(w().unitsPerPreviewPixel(), 200.0 / w().previewBitmap.width());
    EXPECT_EQ(resolution(), 50);
    EXPECT_EQ(w().session().regions.regionCount, 1)
        << "the preview's own option writes keep the regions";
    EXPECT_EQ(w().caption(), "Tarnwick interface");
    EXPECT_FALSE(control<ui::ProgressBar>(w(), "ProgressBar").visible());

    // With FindFit the preview ends with the one region found on it.
    w().session().settings().findFit = true;
    w().session().settings().previewAtMinimum = false;
    w().session().settings().previewResolution = 25;
    w().BPreviewClick();
    EXPECT_EQ(w().session().regions.regionCount, 1);
    EXPECT_EQ(w().previewBitmap.width(), 196);  // 200 mm at 25 dpi
    EXPECT_EQ(resolution(), 50);
}

TEST_F(ScanLoop, ThreeRegionsAreThreeImagesFromTheFirstRegionOn) {
    openScanning();
    setNumber("resolution", 25);
    setRegions({{0, 0, 20, 10}, {30, 5, 60, 25}, {100, 100, 110, 150}});
    // Selected by hovering; the batch still begins with region 0.
    w().session().regions.regionIndex = 2;
    startLog();
    ASSERT_TRUE(driver.click(control<ui::ToolButton>(w(), "BScan")));
    EXPECT_EQ(scanner.messages, (std::vector<TW_UINT16>{MSG_XFERREADY}));
    EXPECT_EQ(scanner.pending(), 2);
    EXPECT_TRUE(scanner.getImage());
    EXPECT_TRUE(scanner.getImage());
    EXPECT_EQ(scanner.pending(), 0);
    EXPECT_FALSE(scanner.getImage());
    ASSERT_EQ(scanner.scans.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(scanner.scans[i].area, w().session().regions.regions[i]);
        EXPECT_EQ(scanner.scans[i].options, w().session().regions.regions[i]);
    }
    // 30 by 20 mm at 25 dpi.
    EXPECT_EQ(scanner.scans[1].width, 29);
    EXPECT_EQ(scanner.scans[1].height, 19);
    EXPECT_EQ(logged(kCancelLine), 3) << "DeviceCancelType 1: one cancel after every read";
}

TEST_F(ScanLoop, SixteenBitSamplesAreReadInTheDaemonsByteOrder) {
    openScanning();
    setNumber("resolution", 25);
    option("test-picture").setValueText("Color pattern");
    option("depth").setValueText("16");
    // The image keeps its samples whole; the preview their high bytes.
    ASSERT_TRUE(w().session().scanInto(w().session().scanBitmap));
    ASSERT_TRUE(w().session().scanInto(w().previewBitmap));
    const Bitmap& grey = w().session().scanBitmap;
    ASSERT_EQ(grey.kind(), BitmapKind::Grey16);
    ASSERT_EQ(w().previewBitmap.kind(), BitmapKind::Bits8);
    // The grey pattern is a ramp of one step per pixel in the high byte; the low bytes are not.
    int steps = 0;
    for (int x = 0; x + 1 < grey.width(); ++x) {
        const int high = sampleAt(grey.row(10) + 2 * x) >> 8;
        if (sampleAt(grey.row(10) + 2 * x + 2) >> 8 == high + 1) ++steps;
        EXPECT_EQ(w().previewBitmap.row(10)[x], high);
    }
    EXPECT_GT(steps, grey.width() / 2);
}

TEST_F(ScanLoop, AScanWaitingForTheButtonCanBeCancelled) {
    openScanning();
    setNumber("resolution", 10);
    PressedButtonOption button;
    w().session().roles().wait = &button;
    driver.answerBox(ui::ModalResult::Cancel);
    startLog();
    EXPECT_FALSE(w().session().scanInto(w().session().scanBitmap));
    EXPECT_EQ(boxTexts(), (std::vector<std::string>{"Press the button to start the scan"}));
    EXPECT_EQ(w().session().scanBitmap.width(), 0);
    EXPECT_EQ(logged(kCancelLine), 0);
    EXPECT_EQ(w().caption(), "Tarnwick interface");
    EXPECT_TRUE(w().session().scanInto(w().session().scanBitmap)) << "OK scans";
    EXPECT_EQ(w().session().scanBitmap.width(), 31);
    EXPECT_EQ(control<ui::StatusBar>(w(), "StatusBar").text(), "Done (31 x 39)")
        << "not the data connection's end";
}

TEST_F(ScanLoop, AScanWithoutRegionsTakesTheWholeAreaAndBecomesThePreview) {
    openScanning();
    setNumber("resolution", 10);
    ASSERT_TRUE(driver.click(control<ui::ToolButton>(w(), "BScan")));
    ASSERT_EQ(scanner.scans.size(), 1u);
    EXPECT_EQ(scanner.scans[0].options, (Region{0, 0, 200, 200}));
    EXPECT_EQ(w().previewBitmap.width(), w().session().scanBitmap.width());
    EXPECT_EQ(scanner.pending(), 0);
}

class FeederScan : public ScanLoop {
  protected:
    FeederScan() { extraSettings = "[ADF]\nScanNPages=0\n"; }
};

TEST_F(FeederScan, PagesAreAskedForAndEveryPageUsesRegionZero) {
    openScanning();
    setNumber("resolution", 25);
    option("source").setValueText("Automatic Document Feeder");
    w().session().settings().feederSinglePage = false;
    setRegions({{0, 0, 20, 10}, {30, 5, 60, 25}, {100, 100, 110, 150}});
    for (const char* answer : {"three", "0", "-2", "3"}) driver.answerInput(answer);
    ASSERT_TRUE(driver.click(control<ui::ToolButton>(w(), "BScan")));
    EXPECT_EQ(boxTexts(),
              (std::vector<std::string>{"Currently only one region is allowed when using an ADF"}));
    EXPECT_EQ(w().session().regions.regionCount, 1);
    ASSERT_EQ(driver.inputs().size(), 4u);
    EXPECT_EQ(driver.inputs()[0].caption, "Number of pages");
    EXPECT_EQ(driver.inputs()[0].prompt, "Number of pages");
    EXPECT_EQ(driver.inputs()[0].preset, "1");
    EXPECT_EQ(scanner.pending(), 2);
    scanner.getImage();
    scanner.getImage();
    ASSERT_EQ(scanner.scans.size(), 3u);
    for (const auto& scan : scanner.scans) EXPECT_EQ(scan.options, (Region{0, 0, 20, 10}));

    // Closing the box takes the preset answer.
    ASSERT_TRUE(driver.click(control<ui::ToolButton>(w(), "BScan")));
    EXPECT_EQ(driver.inputs().size(), 5u);
    EXPECT_EQ(scanner.pending(), 0);
}

TEST_F(FeederScan, OneFeederPageWithADFSingleKeepsTheRegions) {
    openScanning();
    setNumber("resolution", 25);
    option("source").setValueText("Automatic Document Feeder");
    w().session().settings().feederSinglePage = true;
    setRegions({{0, 0, 20, 10}, {30, 5, 60, 25}});
    ASSERT_TRUE(driver.click(control<ui::ToolButton>(w(), "BScan")));
    EXPECT_TRUE(boxTexts().empty());
    EXPECT_TRUE(driver.inputs().empty());
    EXPECT_EQ(w().session().regions.regionCount, 2);
    EXPECT_EQ(scanner.pending(), 1);
}

class EscapeScan : public ScanLoop {
  protected:
    EscapeScan() { extraSettings = "[Zoveru]\nDeviceCancelType=5\n"; }
};

TEST_F(EscapeScan, EscapeStopsTheReadWithTwoCancels) {
    openScanning();
    setNumber("resolution", 50);
    std::string captionWhileReading;
    bool progressShown = false;
    ui::Cursor cursorWhileReading = ui::Cursor::Default;
    // The key arrives while the first rows are read.
    ui::backend().post([&] {
        captionWhileReading = w().caption();
        progressShown = control<ui::ProgressBar>(w(), "ProgressBar").visible();
        cursorWhileReading = ui::backend().screenCursor();
        driver.pressKey(w(), ui::key::Escape);
    });
    startLog();
    ASSERT_TRUE(driver.click(control<ui::ToolButton>(w(), "BScan")));
    EXPECT_EQ(logged(kCancelLine), 2);
    EXPECT_EQ(captionWhileReading, "Scanning... press ESC to cancel");
    EXPECT_TRUE(progressShown);
    EXPECT_EQ(cursorWhileReading, ui::Cursor::HourGlass);
    EXPECT_TRUE(scanner.messages.empty());
    EXPECT_EQ(scanner.pending(), 0);
    EXPECT_EQ(w().caption(), "Tarnwick interface");
    EXPECT_FALSE(control<ui::ProgressBar>(w(), "ProgressBar").visible());
    EXPECT_EQ(ui::backend().screenCursor(), ui::Cursor::Default);

    // The device takes the next scan after the stopped one; saned may refuse a start while
    // the backend still finishes the cancelled read, so the user may have to press twice.
    for (int attempt = 0; attempt < 3 && scanner.messages.empty(); ++attempt)
        ASSERT_TRUE(driver.click(control<ui::ToolButton>(w(), "BScan")));
    EXPECT_EQ(scanner.messages, (std::vector<TW_UINT16>{MSG_XFERREADY}));
}

// Messages get through at most every 20 ms of a read, and a key they bring stops it at once. The
// driver's clock moves a millisecond at every look, so the test does not depend on the machine.
TEST_F(EscapeScan, AKeyPressedDuringAReadCancelsAtTheNextPump) {
    openScanning();
    setNumber("resolution", 100);
    driver.runClock(1);
    std::vector<long long> pumps;
    int rowsAtKey = 0;
    std::function<void()> watch = [&] {
        pumps.push_back(driver.milliseconds());
        if (pumps.size() == 3) {
            // Pressed since the last pump: handled now.
            rowsAtKey = control<ui::ProgressBar>(w(), "ProgressBar").position();
            driver.pressKey(w(), ui::key::Escape);
        } else {
            ui::backend().post(watch);
        }
    };
    ui::backend().post(watch);
    const long long begin = driver.milliseconds();
    startLog();
    ASSERT_TRUE(driver.click(control<ui::ToolButton>(w(), "BScan")));
    ASSERT_EQ(pumps.size(), 3u);
    // A wait for the socket may let messages through too; the rows do it every 20 ms.
    for (std::size_t i = 1; i < pumps.size(); ++i) EXPECT_LE(pumps[i] - pumps[i - 1], 25);
    EXPECT_LE(pumps[0] - begin, 25) << "the first row lets messages through";
    EXPECT_LE(driver.milliseconds() - pumps[2], 100);
    EXPECT_GE(rowsAtKey, 20) << "not a pump after every row";
    EXPECT_LT(rowsAtKey, control<ui::ProgressBar>(w(), "ProgressBar").max() / 2)
        << "the read stopped long before its end";
    EXPECT_EQ(logged(kCancelLine), 2);
    EXPECT_EQ(scanner.pending(), 0);
}

}  // namespace
}  // namespace tarnwick::testing
