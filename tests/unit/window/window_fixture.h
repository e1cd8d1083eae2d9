// A scanning window on the headless toolkit, with its settings folders in a private temporary
// folder, a scanner that records the window's notifications, and helpers for the settings file.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "options/device.h"
#include "platform/message_box_script.h"
#include "sane/connection.h"
#include "sane/socket_stream.h"
#include "settings/properties.h"
#include "settings/settings_file.h"
#include "support/scoped_environment.h"
#include "ui/headless/driver.h"
#include "window/preview_form.h"

namespace tarnwick::testing {

// Records what the window tells the application; `ready` answers readyToScan.
class RecordingScanner : public Scanner {
  public:
    bool isDeviceOpen() const override { return true; }
    void showWindow(bool) override {}
    void hideWindow() override {}
    bool readyToScan() const override { return ready; }
    Image* acquire(bool, bool) override {
        ++acquired;
        return nullptr;
    }
    Image* getImage() override { return nullptr; }
    void releaseImage() override {}
    TW_INT32 pendingCount() const override { return pending; }
    void setPendingCount(TW_INT32 count) override { pending = count; }
    TW_UINT16 notify(TW_UINT16 message) override {
        messages.push_back(message);
        return TWRC_SUCCESS;
    }
    TW_UINT16 pixelType(TW_UINT16, TW_CAPABILITY*) override { return TWRC_FAILURE; }
    TW_UINT16 bitDepth(TW_UINT16, TW_CAPABILITY*) override { return TWRC_FAILURE; }
    TW_UINT16 resolution(TW_UINT16, TW_CAPABILITY*) override { return TWRC_FAILURE; }
    TW_UINT16 nativeResolution(TW_UINT16, TW_CAPABILITY*) override { return TWRC_FAILURE; }
    TW_UINT16 physicalSize(TW_UINT16, TW_CAPABILITY*) override { return TWRC_FAILURE; }
    TW_UINT16 level(TW_UINT16, TW_UINT16, TW_CAPABILITY*) override { return TWRC_FAILURE; }
    TW_UINT16 getCustomData(TW_CUSTOMDSDATA*) override { return TWRC_SUCCESS; }
    TW_UINT16 setCustomData(TW_CUSTOMDSDATA*) override { return TWRC_SUCCESS; }

    bool ready = false;
    int acquired = 0;
    TW_INT32 pending = -1;
    std::vector<TW_UINT16> messages;
};

// The platform's services without the machine's printers.
class QuietServices : public PropertiesServices {
  public:
    platform::PrinterList printers() override { return {}; }
};

class WindowTest : public ::testing::Test {
  protected:
    WindowTest() {
        for (const char* name : {"WINDIR", "ALLUSERSPROFILE", "APPDATA", "USERPROFILE", "HOME"}) {
            std::filesystem::create_directories(folder.path() / name);
            environment.set(name, folder.file(name));
        }
        platform::message_box_script::clear();
        TFPreview::firstActivation = true;
    }
    ~WindowTest() override {
        window.reset();
        socketTimeout = 60000;
        std::error_code ignored;
        std::filesystem::permissions(settingsPath(), std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::add, ignored);
    }

    // The per-user file: the settings file when no machine-wide one exists.
    std::string settingsPath() const { return folder.file("USERPROFILE/tarnwick.ini"); }
    void writeSettings(const std::string& content) {
        testing_support::writeWholeFile(settingsPath(), content);
    }
    SettingsFile settings() const { return SettingsFile(settingsPath()); }
    void makeReadOnly() {
        std::filesystem::permissions(
            settingsPath(), std::filesystem::perms::owner_read | std::filesystem::perms::group_read,
            std::filesystem::perm_options::replace);
    }

    // Creates the window as the scanner does: construction, the first activation, the back
    // pointer.
    TFPreview& open() {
        window = std::make_unique<TFPreview>(std::make_unique<QuietServices>(),
                                             [this](const std::string& address) {
                                                 opened.push_back(address);
                                                 return true;
                                             });
        window->FormActivate();
        window->saneDevice = &scanner;
        window->show();
        return *window;
    }
    // Only the construction; the window is visible without having been activated.
    TFPreview& create() {
        window = std::make_unique<TFPreview>(std::make_unique<QuietServices>(),
                                             [this](const std::string& address) {
                                                 opened.push_back(address);
                                                 return true;
                                             });
        window->saneDevice = &scanner;
        window->setVisible(true);
        return *window;
    }

    static std::vector<std::string> boxTexts() {
        std::vector<std::string> texts;
        for (const auto& box : platform::message_box_script::shownBoxes())
            texts.push_back(box.text);
        return texts;
    }
    static std::vector<std::string> entries(const ui::PopupMenu& menu) {
        std::vector<std::string> captions;
        for (std::size_t i = 0; i < menu.count(); ++i) captions.push_back(menu.item(i).caption());
        return captions;
    }
    Option& option(const std::string& name) {
        Option* found = window->device ? window->device->findOption(name) : nullptr;
        EXPECT_NE(found, nullptr) << name;
        return *found;
    }

    testing_support::TemporaryFolder folder;
    testing_support::ScopedEnvironment environment;
    ui::headless::Driver driver;
    RecordingScanner scanner;
    std::vector<std::string> opened;
    std::unique_ptr<TFPreview> window;
};

}  // namespace tarnwick::testing
