// The option pages, roles, tool bars and saved values of the test backend's devices.
#include "options/number_option.h"
#include "support/saned_fixture.h"
#include "ui/headless/driver.h"
#include "unit/window/window_fixture.h"

namespace tarnwick::testing {
namespace {

class WindowPages : public WindowTest {
  protected:
    void SetUp() override {
        ASSERT_TRUE(saned.running()) << saned.error();
        writeSettings("[Connection]\nHost=127.0.0.1\nPort=" + std::to_string(saned.port()) + "\n" +
                      sections);
        open();
        ASSERT_NE(window->session().scanner(), nullptr);
    }
    std::vector<std::string> pageTitles() const {
        std::vector<std::string> titles;
        for (int i = 0; i < control<ui::PageControl>(*window, "OptionPages").pageCount(); ++i)
            titles.push_back(control<ui::PageControl>(*window, "OptionPages").page(i).text());
        return titles;
    }
    ui::MenuItem* entry(const std::string& caption) const {
        return popupMenu(*window, "OptionsPopup").find(caption);
    }
    // The option values saved in the device's section, without the identity kept beside them.
    std::size_t savedValueCount() const {
        std::size_t count = 0;
        for (const auto& [key, value] : settings().sectionEntries("test:0"))
            count += key != "Identity";
        return count;
    }
    SanedFixture saned;
    std::string sections;
};

TEST_F(WindowPages, PagesRolesAndMenuOfTest0) {
    TFPreview& w = *window;
    // Groups become pages; "Geometry" holds only the area options and gets none.
    EXPECT_EQ(pageTitles(),
              (std::vector<std::string>{"Scan Mode", "Special Options", "Bool test options",
                                        "Int test options", "Fixed test options",
                                        "String test options", "Button test options"}));
    EXPECT_EQ(control<ui::PageControl>(w, "OptionPages").activePage(),
              &control<ui::TabSheet>(w, "TabSheet2"));
    EXPECT_TRUE(control<ui::PageControl>(w, "OptionPages").visible());
    EXPECT_EQ(control<ui::PageControl>(w, "OptionPages").page(1).borderWidth(), 8);
    EXPECT_TRUE(control<ui::ToolBar>(w, "TResolution").visible());
    EXPECT_TRUE(control<ui::ToolBar>(w, "TScanMode").visible());

    EXPECT_EQ(w.session().scanArea(), (Region{0, 0, 200, 200}));
    ASSERT_NE(w.session().roles().tlx, nullptr);
    EXPECT_EQ(w.session().roles().bry->name, "br-y");
    EXPECT_EQ(w.session().roles().resolution->name, "resolution");
    EXPECT_EQ(w.session().roles().mode->name, "mode");
    EXPECT_EQ(w.session().roles().depth->name, "depth");
    ASSERT_NE(w.session().roles().feeder, nullptr);
    EXPECT_EQ(w.session().roles().feeder->name, "source");
    EXPECT_FALSE(w.session().roles().feederInverted);
    EXPECT_EQ(w.session().roles().preview, nullptr);
    EXPECT_EQ(w.session().roles().wait, nullptr);

    std::vector<std::string> menu = entries(popupMenu(w, "OptionsPopup"));
    ASSERT_GE(menu.size(), 8u);
    EXPECT_EQ(
        std::vector<std::string>(menu.begin(), menu.begin() + 8),
        (std::vector<std::string>{"Use large icons", "-", "depth", "hand-scanner", "three-pass",
                                  "three-pass-order", "source", "test-picture"}));
    for (const char* special : {"mode", "resolution", "tl-x", "br-y"})
        EXPECT_EQ(entry(special), nullptr) << special;
    const ScannerTransport::OptionList& list = w.session().scanner()->options();
    ui::MenuItem& source = *entry("source");
    EXPECT_TRUE(source.autoCheck());
    EXPECT_FALSE(source.checked());
    EXPECT_EQ(list.at(static_cast<std::size_t>(source.tag()))->name, "source");
}

TEST_F(WindowPages, FrameParametersEnableThePreviewAndScanButtons) {
    EXPECT_TRUE(control<ui::ToolButton>(*window, "BPreview").enabled());
    EXPECT_TRUE(control<ui::ToolButton>((*window), "BScan").enabled());
    // A hand scanner does not know the height of its image: no preview of the whole area.
    option("hand-scanner").setValueText("yes");
    EXPECT_FALSE(control<ui::ToolButton>(*window, "BPreview").enabled());
    EXPECT_TRUE(control<ui::ToolButton>((*window), "BScan").enabled());
    option("hand-scanner").setValueText("no");
    EXPECT_TRUE(control<ui::ToolButton>(*window, "BPreview").enabled());
}

TEST_F(WindowPages, AnotherDeviceReplacesTheEntriesAndPages) {
    std::vector<std::string> menu = entries(popupMenu(*window, "OptionsPopup"));
    std::size_t firstPageRows = control<ui::TabSheet>(*window, "TabSheet2").childCount();
    driver.select(control<ui::ComboBox>(*window, "Devices"), "test:1");
    ASSERT_NE(window->session().scanner(), nullptr);
    EXPECT_EQ(window->session().scanner()->name(), "test:1");
    EXPECT_EQ(entries(popupMenu(*window, "OptionsPopup")), menu);
    EXPECT_EQ(pageTitles().size(), 7u);
    EXPECT_EQ(control<ui::TabSheet>(*window, "TabSheet2").childCount(), firstPageRows);
    EXPECT_EQ(control<ui::ToolBar>(*window, "TResolution").childCount(), 1u);
}

TEST_F(WindowPages, AReconnectionAfterAFatalReportLeavesNothingOfTheOldDevice) {
    std::vector<std::string> menu = entries(popupMenu(*window, "OptionsPopup"));
    std::size_t firstPageRows = control<ui::TabSheet>(*window, "TabSheet2").childCount();
    EXPECT_THROW(window->reportStatus("Lost", false, true), ConnectionCancelled);
    EXPECT_EQ(window->session().scanner(), nullptr);
    EXPECT_TRUE(window->connectToDaemon(true));
    ASSERT_NE(window->session().scanner(), nullptr);
    EXPECT_EQ(entries(popupMenu(*window, "OptionsPopup")), menu);
    EXPECT_EQ(control<ui::TabSheet>(*window, "TabSheet2").childCount(), firstPageRows);
    EXPECT_TRUE(control<ui::PageControl>(*window, "OptionPages").visible());
}

TEST_F(WindowPages, AnOptionInAToolBarOfItsOwn) {
    TFPreview& w = *window;
    ui::MenuItem& depth = *entry("depth");
    Option& option = this->option("depth");
    ASSERT_NE(option.control, nullptr);
    ui::Container* row = option.control->parent();
    std::size_t bands = control<ui::CoolBar>(w, "TopDock").bandCount();

    driver.choose(depth);
    ASSERT_NE(option.toolbar, nullptr);
    EXPECT_EQ(option.control->parent(), option.toolbar);
    EXPECT_EQ(option.homeParent, row);
    EXPECT_FALSE(row->visible());
    ASSERT_EQ(control<ui::CoolBar>(w, "TopDock").bandCount(), bands + 1);
    EXPECT_EQ(control<ui::CoolBar>(w, "TopDock").band(bands).text, "depth:");
    EXPECT_FALSE(control<ui::CoolBar>(w, "TopDock").band(bands).breakLine);
    EXPECT_EQ(settings().readInteger(SettingKey::toolbarsBandWidth, {}, "depth"), 100);

    driver.choose(depth);
    EXPECT_EQ(option.control->parent(), row);
    EXPECT_TRUE(row->visible());
    EXPECT_EQ(control<ui::CoolBar>(w, "TopDock").bandCount(), bands);
    EXPECT_FALSE(settings().keyExists(SettingKey::toolbarsBandWidth, {}, "depth"));
}

class WindowSavedPages : public WindowPages {
  protected:
    WindowSavedPages() {
        sections =
            "[Toolbars]\nsource=150\n[test:0]\nppl-loss=0\nresolution=100\nLastResolution=200\n"
            "read-limit=\n";
    }
};

TEST_F(WindowSavedPages, SavedValuesAndToolBarsAreRestoredAtOpening) {
    EXPECT_EQ(option("ppl-loss").valueText(), "0");
    EXPECT_TRUE(option("ppl-loss").restored);
    // The option's own key wins over the last resolution.
    EXPECT_EQ(option("resolution").valueText(), "100");
    EXPECT_TRUE(option("resolution").restored);
    // An empty saved text counts as a saved value.
    EXPECT_TRUE(option("read-limit").restored);
    EXPECT_FALSE(option("depth").restored);

    Option& source = option("source");
    ASSERT_NE(source.toolbar, nullptr);
    EXPECT_TRUE(entry("source")->checked());
    ui::CoolBand* band = control<ui::CoolBar>(*window, "TopDock").bandOf(*source.toolbar);
    ASSERT_NE(band, nullptr);
    EXPECT_EQ(band->width, 150);
    EXPECT_EQ(band->minWidth, source.control->width());
}

class WindowLastResolution : public WindowPages {
  protected:
    WindowLastResolution() { sections = "[test:0]\nLastResolution=150\n"; }
};

TEST_F(WindowLastResolution, TheLastResolutionIsUsedWithoutAKeyOfItsOwn) {
    EXPECT_EQ(option("resolution").valueText(), "150");
    EXPECT_TRUE(option("resolution").restored);
}

TEST_F(WindowPages, CtrlASavesEveryValueWithAControl) {
    std::vector<Option*> withControl;
    for (const auto& o : window->session().scanner()->options())
        if (o->control) withControl.push_back(o.get());
    ASSERT_GT(withControl.size(), 5u);
    driver.pressKey(*window, 'A', ui::CtrlKey);
    SettingsFile file = settings();
    EXPECT_EQ(savedValueCount(), withControl.size());
    for (Option* o : {&option("mode"), &option("resolution"), &option("depth"), &option("source")})
        EXPECT_EQ(file.readText(SettingKey::deviceEntryOptionValue, "test:0", o->name),
                  o->valueText())
            << o->name;
    Option& last = *withControl.back();
    EXPECT_EQ(control<ui::StatusBar>(*window, "StatusBar").text(),
              "Value '" + last.valueText() + "' saved for '" + last.name + "'");
}

TEST_F(WindowPages, CtrlSSavesTheValueUnderThePointer) {
    driver.selectPage(control<ui::PageControl>(*window, "PreviewAndOptions"), 1);
    Option& depth = option("depth");
    ASSERT_NE(depth.control, nullptr);
    ui::Rect r = depth.control->screenRect();
    driver.setCursorPos({r.left + 2, r.top + 2});
    driver.pressKey(*window, 'S', ui::CtrlKey);
    EXPECT_EQ(settings().readText(SettingKey::deviceEntryOptionValue, "test:0", "depth"), "8");
    EXPECT_EQ(control<ui::StatusBar>(*window, "StatusBar").text(), "Value '8' saved for 'depth'");

    // Over the caption of the row there is no option's control: nothing more is saved.
    ASSERT_NE(depth.captionLabel(), nullptr);
    r = depth.captionLabel()->screenRect();
    driver.setCursorPos({r.left + 2, r.top + 2});
    driver.pressKey(*window, 'S', ui::CtrlKey);
    EXPECT_EQ(savedValueCount(), 1u);
}

// The bars of the top dock lie where the dock put them, each apart from the others: Ctrl+S over
// a bar's control saves that control's option, and over a control of no option nothing.
TEST_F(WindowPages, CtrlSOverEachToolBarSavesTheControlUnderThePointer) {
    driver.choose(*entry("depth"));  // "depth" in a tool bar of its own, on the device's row
    ui::CoolBar& dock = control<ui::CoolBar>(*window, "TopDock");
    std::vector<ui::Rect> bars;
    for (std::size_t i = 0; i < dock.bandCount(); ++i)
        if (dock.band(i).control->visible()) bars.push_back(dock.band(i).control->screenRect());
    ASSERT_EQ(bars.size(), 5u);
    for (std::size_t i = 0; i < bars.size(); ++i)
        for (std::size_t j = i + 1; j < bars.size(); ++j)
            EXPECT_TRUE(bars[i].right <= bars[j].left || bars[j].right <= bars[i].left ||
                        bars[i].bottom <= bars[j].top || bars[j].bottom <= bars[i].top)
                << "bars " << i << " and " << j;

    const auto saveOver = [&](const ui::Control& c) {
        const ui::Rect r = c.screenRect();
        driver.setCursorPos({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
        driver.pressKey(*window, 'S', ui::CtrlKey);
        return savedValueCount();
    };
    EXPECT_EQ(saveOver(control<ui::ToolButton>(*window, "BScan")), 0u);
    EXPECT_EQ(saveOver(control<ui::ComboBox>(*window, "Zoom")), 0u);
    for (const char* name : {"mode", "resolution", "depth"}) {
        Option& o = option(name);
        ASSERT_NE(o.control, nullptr) << name;
        ASSERT_TRUE(o.control->showing()) << name;
        const std::size_t before = savedValueCount();
        EXPECT_EQ(saveOver(*o.control), before + 1) << name;
        EXPECT_EQ(settings().readText(SettingKey::deviceEntryOptionValue, "test:0", name),
                  o.valueText());
        EXPECT_EQ(control<ui::StatusBar>(*window, "StatusBar").text(),
                  "Value '" + o.valueText() + "' saved for '" + name + "'");
    }
    EXPECT_EQ(saveOver(control<ui::ComboBox>(*window, "Devices")), 3u);
    EXPECT_EQ(saveOver(control<ui::ToolButton>(*window, "BHelp")), 3u);
}

TEST_F(WindowPages, ReadOnlySettingsSaveNothing) {
    makeReadOnly();
    open();  // the settings dialog finds the file read-only
    std::string before = testing_support::readWholeFile(settingsPath());
    driver.pressKey(*window, 'A', ui::CtrlKey);
    EXPECT_EQ(testing_support::readWholeFile(settingsPath()), before);
}

class WindowExitValues : public WindowPages {
  protected:
    WindowExitValues() { sections = "[test:0]\nOnExit.hand-scanner=yes\nOnExit.source=Nowhere\n"; }
};

TEST_F(WindowExitValues, ClosingSetsTheExitValues) {
    EXPECT_EQ(option("hand-scanner").valueText(), "no");
    ui::CloseAction action;
    window->FormClose(action);
    EXPECT_EQ(option("hand-scanner").valueText(), "yes");
    EXPECT_TRUE(option("hand-scanner").restored);
    // A value the option refuses changes nothing, and the option still counts as restored.
    EXPECT_EQ(option("source").valueText(), "Flatbed");
    EXPECT_TRUE(option("source").restored);
}

}  // namespace
}  // namespace tarnwick::testing
