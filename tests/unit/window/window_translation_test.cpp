// A language chosen in the settings dialog reaches every text of the window at once.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "base/translate.h"
#include "platform/module_info.h"
#include "scan_fixture.h"
#include "unit/base/localisation/catalog_fixtures.h"

namespace tarnwick::testing {
namespace {

// Notes what a native cool bar would be told.
struct BandRecorder : ui::Peer {
    void changed(ui::Control&, ui::Property what) override {
        styles += what == ui::Property::Style;
    }
    int styles = 0;
};

// An invented language beside the test program, for the daemon's texts and the banner; the
// settings dialogs of other tests take their languages from fakes.
class ZzCatalogs {
  public:
    ZzCatalogs() {
        std::vector<std::pair<std::string, std::string>> entries = {
            {"Hand-scanner simulation",
             "Zz hand-scanner simulation, long enough to need two lines"},
            {"Scan Mode", "Zz scan mode"},
            {"Solid black", "Zz black"},
            {"Special Options", "Zz special"}};
        std::sort(entries.begin(), entries.end());
        writeFile(folder_ / "LC_MESSAGES" / "sane-backends.mo", moBytes(entries));
        writeFile(folder_ / "LC_MESSAGES" / "default.mo",
                  moBytes({{"Copyright (C) The Tarnwick developers", "Zz copyright"},
                           {"Tarnwick data source v%s.", "Zz source v%s."}}));
    }
    ~ZzCatalogs() {
        useLanguage(before_);
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

  private:
    std::string before_ = currentLanguage();
    std::filesystem::path folder_ =
        std::filesystem::path(platform::moduleFilePath()).parent_path() / "locale" / "zz";
};

TEST_F(ScanWindowTest, ALanguageChosenInTheSettingsTranslatesTheWholeWindowAtOnce) {
    ZzCatalogs catalogs;
    TFPreview& w = openScanning();
    ASSERT_EQ(control<ui::StatusBar>(w, "StatusBar").text().rfind("Tarnwick data source v", 0), 0u);
    const ui::Label& hand = *option("hand-scanner").captionLabel();
    const int oneLine = hand.height();
    auto recorder = std::make_unique<BandRecorder>();
    BandRecorder& bands = *recorder;
    control<ui::CoolBar>(w, "TopDock").setPeer(std::move(recorder));
    driver.whenModal([](ui::Form& dialog) {
        useLanguage("zz");
        static_cast<TFProperties&>(dialog).languageChanged = true;
        dialog.setModalResult(ui::ModalResult::Ok);
    });
    w.BPropertiesClick();
    EXPECT_GT(bands.styles, 0) << "the band texts reach a native bar";
    EXPECT_EQ(hand.text(), "Zz hand-scanner simulation, long enough to need two lines: ");
    EXPECT_GT(hand.height(), oneLine) << "the longer caption wraps instead of being cut";
    EXPECT_GE(hand.parent()->height(), hand.top() + hand.height());
    EXPECT_EQ(control<ui::TabSheet>(w, "TabSheet2").text(), "Zz scan mode");
    bool special = false;
    for (int p = 0; p < control<ui::PageControl>(w, "OptionPages").pageCount(); ++p)
        special |= control<ui::PageControl>(w, "OptionPages").page(p).text() == "Zz special";
    EXPECT_TRUE(special);
    EXPECT_EQ(option("test-picture").control->text(), "Zz black");
    EXPECT_EQ(option("test-picture").valueText(), "Solid black");
    EXPECT_EQ(control<ui::StatusBar>(w, "StatusBar").text().rfind("Zz source v", 0), 0u)
        << control<ui::StatusBar>(w, "StatusBar").text();
}

}  // namespace
}  // namespace tarnwick::testing
