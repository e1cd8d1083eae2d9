// What the user picks or types in the scanning window is what test:0 of a real saned scans: the
// resolution box, the device box, regions across a mode change, Escape, the status line and the
// preview's resolution.
#include <gtest/gtest.h>

#include "settings/properties.h"
#include "ui/backend.h"
#include "ui/combo_box.h"
#include "unit/window/scan_fixture.h"

namespace tarnwick::testing {
namespace {

class WindowChoices : public ScanWindowTest {
  protected:
    TFPreview& w() { return *window; }
    ui::ComboBox& resolutionBox() {
        return dynamic_cast<ui::ComboBox&>(*window->session().roles().resolution->control);
    }
    // The device's own value, read afresh.
    int deviceResolution() {
        NumberOption& option = number("resolution");
        window->session().scanner()->controlNumbers(SANE_ACTION_GET_VALUE, option);
        return static_cast<int>(option.values.front());
    }
    void oneRegion(const Region& g) {
        w().session().regions.regions[0] = g;
        w().session().regions.regionCount = 1;
    }
    // Width of the last image of a 10 mm region at `dpi`.
    void expectWidthAt(int dpi) {
        ASSERT_FALSE(scanner.scans.empty());
        EXPECT_NEAR(scanner.scans.back().width, 10 * dpi / 25.4, 1.0) << dpi << " dpi";
    }
    std::string status() { return control<ui::StatusBar>(w(), "StatusBar").text(); }
};

TEST_F(WindowChoices, TheResolutionBoxShowsSendsAndSavesTheDevicesValue) {
    openScanning();
    ui::ComboBox& box = resolutionBox();
    EXPECT_EQ(box.text(), "50") << "the device's value, which the list lacks";
    oneRegion({0, 0, 10, 10});
    driver.select(box, "300");
    driver.select(box, "600");
    ASSERT_TRUE(driver.click(control<ui::ToolButton>(w(), "BScan")));
    expectWidthAt(600);
    EXPECT_EQ(box.text(), "600");
    EXPECT_EQ(status().rfind("Done (", 0), 0u) << status();

    // Typed and not yet taken when Scan is pressed (a tool button takes no focus).
    driver.type(box, "150");
    w().BScanClick();
    expectWidthAt(150);
    EXPECT_EQ(box.text(), "150");

    // Typed and never taken: the device's value is what is saved.
    driver.type(box, "75");
    ui::CloseAction action;
    w().FormClose(action);
    EXPECT_EQ(settings().readText(SettingKey::deviceEntryLastResolution, "test:0"), "150");
}

TEST_F(WindowChoices, ASavedResolutionIsSentWithOrWithoutAVisibleWindow) {
    const struct {
        const char* section;
        int dpi;
    } cases[] = {{"LastResolution=300\n", 300}, {"resolution=200\nLastResolution=300\n", 200}};
    for (const auto& c : cases) {
        writeSettings("[Connection]\nHost=127.0.0.1\nPort=" + std::to_string(saned.port()) +
                      "\nDevice=test:0\nGetDevices=0\n[test:0]\n" + c.section);
        window.reset();
        TFPreview::connectOnActivation();
        window.reset();
        session = std::make_unique<ScanSession>(readScanSettings());
        window = std::make_unique<TFPreview>(*session, std::make_unique<QuietServices>());
        window->FormActivate();
        ASSERT_NE(window->session().scanner(), nullptr);
        EXPECT_FALSE(window->visible());
        EXPECT_EQ(deviceResolution(), c.dpi) << c.section;
        // The controls are built when the window shows, with the value the device holds.
        EXPECT_EQ(window->session().scanner()->findOption("resolution")->control, nullptr);
        window->show();
        EXPECT_EQ(resolutionBox().text(), std::to_string(c.dpi));
    }
}

TEST_F(WindowChoices, RegionsSurviveAModeChangeAndTheDefaultAreaIsNoRegion) {
    openScanning();
    setNumber("resolution", 25);
    option("mode").setValueText("Color");  // reloads the options
    ASSERT_EQ(w().session().regions.regionCount, 0) << "the device's default area is no region";
    oneRegion({0, 0, 10, 10});
    ASSERT_TRUE(driver.click(control<ui::ToolButton>(w(), "BScan")));
    EXPECT_EQ(scanner.scans.size(), 1u) << "one drawn box, one image";

    w().session().regions.regions[1] = {20, 20, 40, 40};
    w().session().regions.regionCount = 2;
    ASSERT_TRUE(driver.click(control<ui::ToolButton>(w(), "BScan")));
    ASSERT_TRUE(scanner.getImage());
    option("mode").setValueText("Gray");
    EXPECT_EQ(w().session().regions.regionCount, 2);
    EXPECT_EQ(w().session().regions.regions[1], (Region{20, 20, 40, 40}));

    // Reloaded bounds make the scan area.
    number("br-x").setRange(0, 150, 0);
    static_cast<ScanObserver&>(w()).scannerEvent(ScannerTransport::optionsReloaded);
    EXPECT_EQ(w().session().scanArea(), (Region{0, 0, 150, 200}));
}

TEST_F(WindowChoices, AFailedOpenKeepsTheConnectionAndTypingOpensNothing) {
    // A device name the daemon no longer has.
    writeSettings("[Connection]\nHost=127.0.0.1\nPort=" + std::to_string(saned.port()) +
                  "\nDevice=test:9\n");
    window.reset();
    session = std::make_unique<ScanSession>(readScanSettings());
    window = std::make_unique<TFPreview>(*session, std::make_unique<QuietServices>());
    window->FormActivate();
    window->show();
    EXPECT_EQ(window->session().scanner(), nullptr);
    ASSERT_NE(w().session().connection(), nullptr);
    EXPECT_EQ(boxTexts().size(), 1u) << "the error is shown";
    ui::ComboBox& devices = control<ui::ComboBox>(w(), "Devices");
    EXPECT_TRUE(devices.enabled());
    // The next activation tries again, with the error on the status line only.
    window->FormActivate();
    EXPECT_EQ(boxTexts().size(), 1u);
    EXPECT_EQ(status(), boxTexts().front());

    for (const char* typed : {"t", "te", "test:", "test:1"}) driver.type(devices, typed);
    EXPECT_EQ(window->session().scanner(), nullptr) << "nothing opened per keystroke";
    driver.pressKey(w(), ui::key::Enter);
    ASSERT_NE(window->session().scanner(), nullptr);
    EXPECT_EQ(window->session().scanner()->name(), "test:1");
    driver.select(devices, "test:0");
    ASSERT_NE(window->session().scanner(), nullptr);
    EXPECT_EQ(window->session().scanner()->name(), "test:0");
}

class WindowEscape : public WindowChoices {
  protected:
    WindowEscape() { extraSettings = "[Zoveru]\nDeviceCancelType=5\n"; }
};

// Pressed while the device gets ready, with the focus in the resolution box.
TEST_F(WindowEscape, EscapeBeforeTheFirstRowStopsTheScan) {
    openScanning();
    setNumber("resolution", 50);
    int rowsAtKey = -1;
    ui::backend().post([&] {
        driver.focus(resolutionBox());
        rowsAtKey = control<ui::ProgressBar>(w(), "ProgressBar").position();
        driver.pressKey(w(), ui::key::Escape);
    });
    startLog();
    ASSERT_TRUE(driver.click(control<ui::ToolButton>(w(), "BScan")));
    EXPECT_EQ(rowsAtKey, 0);
    EXPECT_EQ(w().session().scanBitmap.height(), 0);
    EXPECT_EQ(logged("\tcancelling the scan\n"), 2);
    EXPECT_TRUE(scanner.messages.empty());
    EXPECT_EQ(status(), "Operation was cancelled");
}

TEST_F(WindowChoices, ThePreviewResolutionFromTheSettingsDialogCountsAtOnce) {
    openScanning();
    ASSERT_TRUE(driver.click(control<ui::ToolButton>(w(), "BPreview")));
    EXPECT_GT(w().previewBitmap.width(), 300) << "fills the preview area at the whole page";
    EXPECT_EQ(status().rfind("Done (", 0), 0u) << status();
    driver.whenModal([this](ui::Form& f) {
        auto& dialog = static_cast<TFProperties&>(f);
        dialog.UseMinimum.setChecked(false);
        dialog.UseSpecified.setChecked(true);
        dialog.Resolution.setText("25");
        driver.click(dialog.bOK);
    });
    driver.click(control<ui::ToolButton>(w(), "BProperties"));
    ASSERT_TRUE(driver.click(control<ui::ToolButton>(w(), "BPreview")));
    EXPECT_EQ(w().previewBitmap.width(), 196) << "200 mm at 25 dpi";
}

}  // namespace
}  // namespace tarnwick::testing
