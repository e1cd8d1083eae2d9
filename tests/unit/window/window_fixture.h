// A scanning window on the headless toolkit, with private settings folders, a scanner that records
// the window's notifications, and helpers for the settings file.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "options/number_option.h"
#include "options/scanner_transport.h"
#include "sane/connection.h"
#include "sane/socket_stream.h"
#include "session/scan_session.h"
#include "settings/properties.h"
#include "settings/settings_file.h"
#include "support/settings_folders.h"
#include "support/window_controls.h"
#include "twain/records.h"
#include "ui/headless/driver.h"
#include "window/preview_form.h"

namespace tarnwick::testing {

// The open scanner as the window sees it: records what the window tells the application,
// answers readyToScan with `ready`, and acquires as the data source's scanner does, through
// the window's batch, noting the rectangle and the size of every image.
class WindowScanner : public ScannerLink {
  public:
    struct Scan {
        Region area;     // the rectangle chosen
        Region options;  // tl-x, tl-y, br-x, br-y read back from the daemon afterwards
        int width = 0, height = 0;
    };

    bool readyToScan() const override { return ready; }
    bool acquireFirst() override { return acquire(false); }
    void imageReady() override { messages.push_back(MSG_XFERREADY); }
    void closeRequested() override { messages.push_back(MSG_CLOSEDSREQ); }
    void settingsConfirmed() override { messages.push_back(MSG_CLOSEDSOK); }

    // What the transfers do after each image: the next one while images are pending.
    bool getImage() { return pending() != 0 && acquire(true); }
    int pending() const { return window->session().batch.pending(); }

    TFPreview* window = nullptr;
    bool ready = false;
    std::vector<TW_UINT16> messages;
    std::vector<Scan> scans;

  private:
    bool acquire(bool cancelAtEnd) {
        TFPreview& w = *window;
        ScanSession& session = w.session();
        Region area;
        if (!w.scanNextImage(area)) {
            session.endImage(false, cancelAtEnd);
            return false;
        }
        Scan scan{area, {}, session.scanBitmap.width(), session.scanBitmap.height()};
        if (session.scanner())
            scan.options = {readBack("tl-x"), readBack("tl-y"), readBack("br-x"), readBack("br-y")};
        scans.push_back(scan);
        session.endImage(true, cancelAtEnd);
        return true;
    }
    int readBack(const std::string& name) {
        auto* option = dynamic_cast<NumberOption*>(window->session().scanner()->findOption(name));
        if (!option) return -1;
        option->refresh();
        return static_cast<int>(option->values.front());
    }
};

// The platform's services without the machine's printers; a search of the network finds the
// hosts given (none by default).
class QuietServices : public PropertiesServices {
  public:
    explicit QuietServices(std::vector<FoundService> hosts = {}) : hosts_(std::move(hosts)) {}
    platform::PrinterList printers() override { return {}; }
    std::vector<FoundService> findSaneHosts() override { return hosts_; }

  private:
    std::vector<FoundService> hosts_;
};

class WindowTest : public ::testing::Test, protected testing_support::SettingsFolders {
  protected:
    WindowTest() { TFPreview::connectOnActivation(); }
    ~WindowTest() override {
        window.reset();
        session.reset();
        socketTimeout = 60000;
    }

    SettingsFile settings() const { return SettingsFile(settingsPath()); }

    // Creates the window as the scanner does: its session, construction, the first activation,
    // the back pointer.
    TFPreview& open() {
        create();
        window->setLink(nullptr);
        window->FormActivate();
        window->setLink(&scanner);
        window->show();
        return *window;
    }
    // Only the construction; the window is visible without having been activated.
    TFPreview& create() {
        window.reset();
        session = std::make_unique<ScanSession>(readScanSettings());
        window = std::make_unique<TFPreview>(*session, std::make_unique<QuietServices>(foundHosts),
                                             [this](const std::string& address) {
                                                 opened.push_back(address);
                                                 return true;
                                             });
        window->setLink(&scanner);
        scanner.window = window.get();
        window->setVisible(true);
        return *window;
    }
    // A control of the window, by name.
    template <class T>
    T& the(const std::string& name) {
        return control<T>(*window, name);
    }
    ScannerTransport* device() const { return session ? session->scanner() : nullptr; }
    // What the window's searches of the network find.
    std::vector<FoundService> foundHosts;

    std::vector<std::string> boxTexts() const {
        std::vector<std::string> texts;
        for (const auto& box : driver.boxes()) texts.push_back(box.text);
        return texts;
    }
    static std::vector<std::string> entries(const ui::PopupMenu& menu) {
        std::vector<std::string> captions;
        for (std::size_t i = 0; i < menu.count(); ++i) captions.push_back(menu.item(i).caption());
        return captions;
    }
    Option& option(const std::string& name) {
        Option* found = device() ? device()->findOption(name) : nullptr;
        EXPECT_NE(found, nullptr) << name;
        return *found;
    }

    ui::headless::Driver driver;
    WindowScanner scanner;
    std::vector<std::string> opened;
    std::unique_ptr<ScanSession> session;
    std::unique_ptr<TFPreview> window;
};

}  // namespace tarnwick::testing
