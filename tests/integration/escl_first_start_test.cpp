// eSCL scanners in the window: found on the network and listed in the device box by the names
// they announce, chosen in the settings dialog, opened by URL without a saned host (a scripted
// scanner stands for them).
#include <fstream>

#include "support/fake_daemon.h"
#include "support/scripted_escl_scanner.h"
#include "support/window_controls.h"
#include "unit/settings/properties_fixture.h"
#include "unit/window/window_fixture.h"

namespace tarnwick::testing {
namespace {

class EsclInTheWindow : public WindowTest {
  protected:
    static FoundService scanner(const std::string& name, const std::string& host, int port) {
        FoundService found = saneHost(host, "127.0.0.1", port);
        found.kind = ServiceKind::escl;
        found.instance = "instance of " + name;
        found.txt = {{"ty", name}, {"rs", "eSCL"}};
        return found;
    }
    std::string openedUrl(TFPreview& w) const {
        return w.session().scanner() ? w.session().scanner()->name() : "(none)";
    }
    ScriptedEsclScanner scripted{scriptedCapabilities({"Grayscale8"}, {75}, {"image/png"})};
    const int port = std::stoi(scripted.url().substr(scripted.url().rfind(':') + 1));
};

TEST_F(EsclInTheWindow, OfSeveralScannersFoundTheFirstByNameIsOfferedOpenedAndListedByName) {
    foundHosts = {scanner("Zeta MFP", "127.0.0.1", 1), scanner("Office MFP", "127.0.0.1", port),
                  scanner("Office MFP", "localhost", 1)};
    std::string offered;
    driver.whenModal([&](ui::Form& f) {
        auto& dialog = static_cast<TFProperties&>(f);
        offered = dialog.Hostname.text();
        driver.click(dialog.bOK);
    });
    TFPreview& w = open();
    EXPECT_EQ(driver.modalForms(), std::vector<std::string>{"FProperties"});
    EXPECT_EQ(offered, "Office MFP (127.0.0.1)");
    EXPECT_EQ(openedUrl(w), scripted.url());
    EXPECT_EQ(w.session().connection(), nullptr);
    EXPECT_EQ(settings().readText(SettingKey::connectionDevice), scripted.url());
    EXPECT_FALSE(settings().keyExists(SettingKey::connectionHost));
    const auto& box = control<ui::ComboBox>(w, "Devices");
    EXPECT_EQ(box.items(), (std::vector<std::string>{"Office MFP (127.0.0.1)",
                                                     "Office MFP (localhost)", "Zeta MFP"}));
    EXPECT_EQ(box.itemIndex(), 0);
}

TEST_F(EsclInTheWindow, WhereNoDialogReachesAUserTheFirstOfSeveralIsOpened) {
    driver.setAsksUser(false);
    foundHosts = {scanner("Zeta MFP", "127.0.0.1", 1), scanner("Office MFP", "127.0.0.1", port)};
    TFPreview& w = open();
    EXPECT_TRUE(driver.modalForms().empty());
    EXPECT_EQ(openedUrl(w), scripted.url());
}

TEST_F(EsclInTheWindow, TheOneScannerFoundIsSavedByItsUrl) {
    foundHosts = {scanner("Office MFP", "127.0.0.1", port)};
    TFPreview& w = open();
    EXPECT_TRUE(driver.modalForms().empty());
    EXPECT_EQ(openedUrl(w), scripted.url());
    EXPECT_EQ(settings().readText(SettingKey::connectionDevice), scripted.url());
    EXPECT_EQ(control<ui::ComboBox>(w, "Devices").text(), "Office MFP");
}

TEST_F(EsclInTheWindow, AScannerChosenInTheDialogAtTheFirstStartIsOpenedAndSaved) {
    foundHosts = {saneHost("localhost", "127.0.0.1", 1), saneHost("127.0.0.1", "127.0.0.1", 1),
                  scanner("Office MFP", "127.0.0.1", port)};
    driver.whenModal([&](ui::Form& f) {
        auto& dialog = static_cast<TFProperties&>(f);
        ASSERT_EQ(dialog.Hostname.items().size(), 3u);
        driver.select(dialog.Hostname, 2);
        driver.click(dialog.bOK);
    });
    TFPreview& w = open();
    EXPECT_EQ(openedUrl(w), scripted.url());
    EXPECT_EQ(w.session().connection(), nullptr);
    EXPECT_EQ(settings().readText(SettingKey::connectionDevice), scripted.url());
    EXPECT_FALSE(settings().keyExists(SettingKey::connectionHost));
}

TEST_F(EsclInTheWindow, ASavedScannerOpensWithoutAskingTheConfiguredHost) {
    // A host whose port takes no connection: asking it would wait for the time-out.
    UnansweredPort deaf;
    std::ofstream(settingsPath()) << "[Connection]\nHost=127.0.0.1\nPort=" << deaf.port()
                                  << "\nDevice=" << scripted.url() << "\n";
    TFPreview& w = open();
    EXPECT_TRUE(driver.boxes().empty());
    EXPECT_EQ(openedUrl(w), scripted.url());
    EXPECT_EQ(w.session().connection(), nullptr);
}

}  // namespace
}  // namespace tarnwick::testing
