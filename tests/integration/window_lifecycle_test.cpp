// The scanning window against a real saned with the test backend (and a scripted daemon for a
// time-out): first activation, the device box, fatal reports, closing.
#include "support/fake_daemon.h"
#include "support/saned_fixture.h"
#include "unit/window/window_fixture.h"
#include "window/scan_window.h"

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
    ASSERT_NE(w.session().connection(), nullptr);
    EXPECT_EQ(control<ui::ComboBox>(w, "Devices").items(),
              (std::vector<std::string>{"test:0", "test:1"}));
    EXPECT_TRUE(control<ui::ComboBox>(w, "Devices").enabled());
    EXPECT_TRUE(control<ui::ToolBar>(w, "TDevice").visible());
    EXPECT_EQ(control<ui::ComboBox>(w, "Devices").text(), "test:0");
    ASSERT_NE(w.session().scanner(), nullptr);
    EXPECT_EQ(w.session().scanner()->name(), "test:0");
    EXPECT_EQ(settings().readText(SettingKey::connectionDevice), "test:0");
    EXPECT_EQ(w.session().connection()->userName(), "PCUSER");
    EXPECT_EQ(control<ui::StatusBar>(w, "StatusBar").text().rfind("Tarnwick data source v1.37.", 0),
              0u);

    // Another window in the same process leaves connecting to whoever opened it.
    ScanSession laterSession;
    TFPreview later(laterSession, std::make_unique<QuietServices>());
    later.FormActivate();
    EXPECT_EQ(laterSession.connection(), nullptr);
}

// Every opening of the source connects: a second one in the same process (the application opens
// the source again without unloading it) finds its scanner as the first did.
TEST_F(WindowSaned, ASecondOpeningInTheSameProcessConnectsAgain) {
    useDaemon();
    WindowScanner first, second;
    auto opened = std::make_unique<ScanWindow>(first, std::make_unique<QuietServices>());
    ASSERT_NE(opened->scanner(), nullptr);
    ui::CloseAction action;
    opened->form().FormClose(action);
    opened.reset();
    ScanWindow again(second, std::make_unique<QuietServices>());
    ASSERT_NE(again.scanner(), nullptr);
    EXPECT_EQ(again.scanner()->name(), "test:0");
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
    EXPECT_EQ(window->session().connection()->userName(), "tester");
    ASSERT_NE(window->session().scanner(), nullptr);
    EXPECT_EQ(window->session().scanner()->name(), "test:0");
}

TEST_F(WindowSaned, FixedDeviceListWithoutAChosenDevice) {
    useDaemon({}, "Devices=test:1, test:0\n");
    TFPreview& w = open();
    EXPECT_EQ(control<ui::ComboBox>(w, "Devices").items(),
              (std::vector<std::string>{"test:1", "test:0"}));
    EXPECT_EQ(control<ui::ComboBox>(w, "Devices").itemIndex(), 0);
    EXPECT_TRUE(control<ui::ToolBar>(w, "TDevice").visible());
    ASSERT_NE(w.session().scanner(), nullptr);
    EXPECT_EQ(w.session().scanner()->name(), "test:1");

    // Another device of the list keeps the connection; its section's name maps to the daemon's.
    writeSettings(testing_support::readWholeFile(settingsPath()) +
                  "[test:0]\nHost=nowhere.invalid\nDevice=test:1\n");
    Connection* before = w.session().connection();
    driver.select(control<ui::ComboBox>(w, "Devices"), 1);
    EXPECT_EQ(w.session().connection(), before);
    EXPECT_EQ(control<ui::ComboBox>(w, "Devices").text(), "test:0");
    ASSERT_NE(w.session().scanner(), nullptr);
    EXPECT_EQ(w.session().scanner()->name(), "test:1");
}

TEST_F(WindowSaned, OneDeviceHidesTheDeviceToolBar) {
    useDaemon({}, "Devices=test:0\n");
    TFPreview& w = open();
    EXPECT_FALSE(control<ui::ToolBar>(w, "TDevice").visible());
    EXPECT_NE(w.session().scanner(), nullptr);
}

TEST_F(WindowSaned, ATypedDeviceNameIsOpenedAsTyped) {
    useDaemon();
    TFPreview& w = open();
    // No entry is called "test"; the daemon opens the backend's first device for that name.
    driver.type(control<ui::ComboBox>(w, "Devices"), "test");
    driver.pressKey(w, ui::key::Enter);
    EXPECT_EQ(control<ui::ComboBox>(w, "Devices").itemIndex(), -1);
    EXPECT_EQ(control<ui::ComboBox>(w, "Devices").text(), "test");
    ASSERT_NE(w.session().scanner(), nullptr);
    EXPECT_EQ(w.session().scanner()->name(), "test");
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
    EXPECT_EQ(w.session().connection(), nullptr);
    EXPECT_FALSE(control<ui::ComboBox>(w, "Devices").enabled());

    useDaemon();
    w.FormActivate();
    EXPECT_NE(w.session().connection(), nullptr);
    EXPECT_NE(w.session().scanner(), nullptr);
    EXPECT_EQ(control<ui::ComboBox>(w, "Devices").items().size(), 2u);
}

TEST_F(WindowSaned, AutoScanSwitchesTheStateTimerOn) {
    useDaemon("[Scan]\nAutoStart=1\n");
    TFPreview& w = open();
    EXPECT_TRUE(w.autoScanWaiting());
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
    EXPECT_EQ(w.session().scanner(), nullptr);
    EXPECT_EQ(w.session().connection(), nullptr);
    EXPECT_FALSE(control<ui::ToolButton>(w, "BScan").enabled());
    EXPECT_FALSE(control<ui::PageControl>(w, "OptionPages").visible());
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
        ASSERT_NE(window->session().scanner(), nullptr);
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
