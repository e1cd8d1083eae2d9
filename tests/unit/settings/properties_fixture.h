// A settings dialog on the headless toolkit, with private settings folders and languages, catalogs
// and printers of the test's own.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "settings/properties.h"
#include "settings/settings_file.h"
#include "support/settings_folders.h"
#include "ui/headless/driver.h"

namespace tarnwick::testing {

// What the fake services saw and answer; shared with the dialog that owns the services.
struct FakeWorld {
    std::vector<std::string> languages{"de", "en", "fr"};
    platform::PrinterList printers;
    std::string current = "en";
    std::vector<std::string> used;
    // What a search of the network finds, and how often one ran.
    std::vector<FoundService> hosts;
    int searches = 0;
};

// A saned host as a search reports it.
inline FoundService saneHost(const std::string& host, const std::string& address, int port = 6566) {
    FoundService found;
    found.instance = "saned";
    found.host = host;
    found.addresses = {address};
    found.port = port;
    return found;
}

// Texts in "de" carry the prefix "DE:"; "de" and "en" have names, "fr" shows as its code.
class FakeServices : public PropertiesServices {
  public:
    explicit FakeServices(std::shared_ptr<FakeWorld> world) : world_(std::move(world)) {}
    std::string translate(const std::string& text) override {
        return world_->current == "de" ? "DE:" + text : text;
    }
    std::vector<std::string> languages() override { return world_->languages; }
    std::string languageName(const std::string& code) override {
        return code == "de" ? "Deutsch" : code == "en" ? "English" : code;
    }
    void useLanguage(const std::string& code) override {
        world_->current = code;
        world_->used.push_back(code);
    }
    platform::PrinterList printers() override { return world_->printers; }
    std::vector<FoundService> findSaneHosts() override {
        ++world_->searches;
        return world_->hosts;
    }

  private:
    std::shared_ptr<FakeWorld> world_;
};

// The user works on one tab of the shown dialog.
inline void onPage(ui::headless::Driver& driver, TFProperties& dialog, ui::TabSheet& page) {
    dialog.show();
    driver.selectPage(dialog.Options, dialog.Options.pageIndex(page));
}

class PropertiesTest : public ::testing::Test, protected testing_support::SettingsFolders {
  protected:
    ui::headless::Driver driver;
    std::shared_ptr<FakeWorld> world = std::make_shared<FakeWorld>();

    std::string settings() const {
        return std::filesystem::exists(settingsPath())
                   ? testing_support::readWholeFile(settingsPath())
                   : std::string();
    }
    SettingsFile file() const { return SettingsFile(settingsPath()); }

    std::unique_ptr<TFProperties> create() {
        return std::make_unique<TFProperties>(std::make_unique<FakeServices>(world));
    }
    // Shows the dialog modally and presses a button, as the user would.
    ui::ModalResult press(TFProperties& dialog, ui::Button& button) {
        driver.whenModal([&](ui::Form&) { driver.click(button); });
        return dialog.showModal();
    }
    const std::vector<ui::headless::BoxRecord>& boxes() const { return driver.boxes(); }
};

}  // namespace tarnwick::testing
