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

// Only the daemon's texts of an invented language, beside the test program: a program catalog
// would put the language into every settings dialog's list.
class DaemonCatalog {
  public:
    DaemonCatalog() {
        std::vector<std::pair<std::string, std::string>> entries = {
            {"Hand-scanner simulation", "Zz hand"},
            {"Scan Mode", "Zz scan mode"},
            {"Solid black", "Zz black"},
            {"Special Options", "Zz special"}};
        std::sort(entries.begin(), entries.end());
        writeFile(folder_ / "LC_MESSAGES" / "sane-backends.mo", moBytes(entries));
    }
    ~DaemonCatalog() {
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
    DaemonCatalog catalog;
    TFPreview& w = openScanning();
    auto recorder = std::make_unique<BandRecorder>();
    BandRecorder& bands = *recorder;
    probe(w).TopDock.setPeer(std::move(recorder));
    driver.whenModal([](ui::Form& dialog) {
        useLanguage("zz");
        static_cast<TFProperties&>(dialog).languageChanged = true;
        dialog.setModalResult(ui::ModalResult::Ok);
    });
    w.BPropertiesClick();
    EXPECT_GT(bands.styles, 0) << "the band texts reach a native bar";
    EXPECT_EQ(option("hand-scanner").captionLabel()->text(), "Zz hand: ");
    EXPECT_EQ(probe(w).TabSheet2.text(), "Zz scan mode");
    bool special = false;
    for (int p = 0; p < probe(w).OptionPages.pageCount(); ++p)
        special |= probe(w).OptionPages.page(p).text() == "Zz special";
    EXPECT_TRUE(special);
    EXPECT_EQ(option("test-picture").control->text(), "Zz black");
    EXPECT_EQ(option("test-picture").valueText(), "Solid black");
}

}  // namespace
}  // namespace tarnwick::testing
