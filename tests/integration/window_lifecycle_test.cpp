// The scanning window against a real saned with the test backend (and a scripted daemon for a
// time-out): first activation, the device box, fatal reports, closing.
#include "support/fake_daemon.h"
#include "support/saned_fixture.h"
#include "unit/window/window_fixture.h"

namespace tarnwick::testing {
namespace {

class WindowSaned : public WindowTest {
  protected:
    void SetUp() override { ASSERT_TRUE(saned.running()) << saned.error(); }
    // The connection section for the fixture's daemon, then `more`.
    void useDaemon(const std::string& more = {}, const std::string& connection = {}) {
        writeSettings("[Connection]\nHost=127.0.0.1\nPort=" + std::to_string(saned.port()) + "\n" +
                      connection + more);
    }
    SanedFixture saned;
};

TEST_F(WindowSaned, FirstActivationConnectsListsAndOpensTheFirstDevice) {
    useDaemon();
    TFPreview& w = open();
    ASSERT_NE(probe(w).connection, nullptr);
    EXPECT_EQ(probe(w).Devices.items(), (std::vector<std::string>{"test:0", "test:1"}));
    EXPECT_TRUE(probe(w).Devices.enabled());
    EXPECT_TRUE(probe(w).TDevice.visible());
    EXPECT_EQ(probe(w).deviceName, "test:0");
    ASSERT_NE(w.device, nullptr);
    EXPECT_EQ(w.device->name(), "test:0");
    EXPECT_EQ(settings().readText(SettingKey::connectionDevice), "test:0");
    EXPECT_EQ(probe(w).userName, "PCUSER");
    EXPECT_FALSE(TFPreviewProbe::firstActivation);
    EXPECT_EQ(probe(w).StatusBar.text().rfind("Tarnwick data source v1.37.", 0), 0u);

    // Another window in the same process leaves connecting to whoever opened it.
    TFPreview later(std::make_unique<QuietServices>());
    later.FormActivate();
    EXPECT_EQ(probe(later).connection, nullptr);
}

TEST_F(WindowSaned, WithoutAHostTheSettingsDialogNamesTheDaemon) {
    create();
    driver.whenModal([this](ui::Form& f) {
        auto& dialog = static_cast<TFProperties&>(f);
        dialog.Hostname.setText("127.0.0.1");
        dialog.Port.setText(std::to_string(saned.port()));
        dialog.Username.setText("tester");
        driver.click(dialog.bOK);
    });
    window->FormActivate();
    EXPECT_EQ(driver.modalForms(), (std::vector<std::string>{"FProperties"}));
    EXPECT_TRUE(probe(*window).translated);
    EXPECT_EQ(probe(*window).userName, "tester");
    ASSERT_NE(window->device, nullptr);
    EXPECT_EQ(window->device->name(), "test:0");
}

TEST_F(WindowSaned, FixedDeviceListWithoutAChosenDevice) {
    useDaemon({}, "Devices=test:1, test:0\n");
    TFPreview& w = open();
    EXPECT_EQ(probe(w).Devices.items(), (std::vector<std::string>{"test:1", "test:0"}));
    EXPECT_EQ(probe(w).Devices.itemIndex(), 0);
    EXPECT_TRUE(probe(w).TDevice.visible());
    ASSERT_NE(w.device, nullptr);
    EXPECT_EQ(w.device->name(), "test:1");

    // Another device of the list keeps the connection; its section's name maps to the daemon's.
    writeSettings(testing_support::readWholeFile(settingsPath()) +
                  "[test:0]\nHost=nowhere.invalid\nDevice=test:1\n");
    Connection* before = probe(w).connection.get();
    driver.select(probe(w).Devices, 1);
    EXPECT_EQ(probe(w).connection.get(), before);
    EXPECT_EQ(probe(w).deviceName, "test:0");
    ASSERT_NE(w.device, nullptr);
    EXPECT_EQ(w.device->name(), "test:1");
}

TEST_F(WindowSaned, OneDeviceHidesTheDeviceToolBar) {
    useDaemon({}, "Devices=test:0\n");
    TFPreview& w = open();
    EXPECT_FALSE(probe(w).TDevice.visible());
    EXPECT_NE(w.device, nullptr);
}

TEST_F(WindowSaned, ATypedDeviceNameIsOpenedAsTyped) {
    useDaemon();
    TFPreview& w = open();
    // No entry is called "test"; the daemon opens the backend's first device for that name.
    driver.type(probe(w).Devices, "test");
    driver.pressKey(w, ui::key::Enter);
    EXPECT_EQ(probe(w).Devices.itemIndex(), -1);
    EXPECT_EQ(probe(w).deviceName, "test");
    ASSERT_NE(w.device, nullptr);
    EXPECT_EQ(w.device->name(), "test");
    EXPECT_EQ(settings().readText(SettingKey::connectionDevice), "test");
}

TEST_F(WindowSaned, AFailedFirstActivationIsRetried) {
    int gone = 0;
    {
        FakeDaemon closed;
        gone = closed.port();
    }
    writeSettings("[Connection]\nHost=127.0.0.1\nPort=" + std::to_string(gone) + "\n");
    TFPreview& w = open();
    EXPECT_EQ(probe(w).connection, nullptr);
    EXPECT_FALSE(probe(w).Devices.enabled());
    EXPECT_TRUE(TFPreviewProbe::firstActivation);

    useDaemon();
    w.FormActivate();
    EXPECT_NE(probe(w).connection, nullptr);
    EXPECT_NE(w.device, nullptr);
    EXPECT_EQ(probe(w).Devices.items().size(), 2u);
    EXPECT_FALSE(TFPreviewProbe::firstActivation);
}

TEST_F(WindowSaned, AutoScanSwitchesTheStateTimerOn) {
    useDaemon("[Scan]\nAutoStart=1\n");
    TFPreview& w = open();
    EXPECT_TRUE(probe(w).WaitForState5.enabled());
}

// The daemon takes the log-on, then never answers the open: the time-out is fatal and leaves
// neither device nor connection.
TEST_F(WindowTest, AFatalTimeOutClosesDeviceAndConnection) {
    FakeDaemon daemon;
    constexpr std::size_t kInit = 4 + 4 + 4 + 5;  // number, version, "user"
    constexpr std::size_t kOpen = 4 + 4 + 7;      // number, "test:0"
    daemon.receive(kInit).send(Wire().word(0).word(0x01030000)).receive(kOpen).pause(1500);
    daemon.start();
    writeSettings("[Connection]\nHost=127.0.0.1\nUser=user\nTimeOut=300\nDevices=test:0\nPort=" +
                  std::to_string(daemon.port()) + "\n");
    TFPreview& w = open();
    daemon.finish();
    EXPECT_EQ(w.device, nullptr);
    EXPECT_EQ(probe(w).connection, nullptr);
    EXPECT_FALSE(w.BScan.enabled());
    EXPECT_FALSE(probe(w).OptionPages.visible());
    ASSERT_FALSE(boxTexts().empty());
    Bytes sent = daemon.received();
    ASSERT_GE(sent.size(), kInit + kOpen + 4);
    EXPECT_EQ(Bytes(sent.end() - 4, sent.end()), Bytes(Wire().word(10)));  // SANE_NET_EXIT
}

class WindowDevice : public WindowSaned {
  protected:
    void SetUp() override {
        WindowSaned::SetUp();
        useDaemon(sections);
        open();
        ASSERT_NE(window->device, nullptr);
    }
    std::string sections;
};

TEST_F(WindowDevice, ClosingTwiceWritesTheLastResolutionEachTime) {
    ui::CloseAction action;
    option("resolution").setValueText("150");
    window->FormClose(action);
    EXPECT_EQ(settings().readText(SettingKey::deviceEntryLastResolution, "test:0"), "150");
    option("resolution").setValueText("300");
    window->FormClose(action);
    EXPECT_EQ(settings().readText(SettingKey::deviceEntryLastResolution, "test:0"), "300");
    EXPECT_EQ(scanner.messages, (std::vector<TW_UINT16>{MSG_CLOSEDSREQ, MSG_CLOSEDSREQ}));
}

}  // namespace
}  // namespace tarnwick::testing
