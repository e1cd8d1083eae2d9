#include <gtest/gtest.h>

#include "ui/headless/driver.h"
#include "ui/tool_pictures.h"
#include "widgets/about_form.h"
#include "widgets/auto_width_combo_box.h"
#include "widgets/custom_track_bar.h"

namespace {

struct SmallControls : testing::Test {
    ui::headless::Driver driver;
    ui::Form form;
    void SetUp() override { form.show(); }
};

TEST_F(SmallControls, TrackBarReportsButtonDownAndUpAroundTheMove) {
    auto& bar = form.add<tarnwick::TCustomTrackBar>();
    bar.setRange(0, 2540);
    std::vector<std::string> events;
    bar.onMouseDown = [&](const ui::MouseEvent&) { events.push_back("down"); };
    bar.onChange = [&] { events.push_back("moved"); };
    bar.onMouseUp = [&](const ui::MouseEvent&) {
        events.push_back("released at " + std::to_string(bar.position()));
    };
    driver.drag(bar, {1270});
    EXPECT_EQ(events, (std::vector<std::string>{"down", "moved", "released at 1270"}));
}

TEST_F(SmallControls, AutoWidthWidensOnlyTheOpenedList) {
    auto& combo = form.add<ui::ComboBox>();
    combo.setWidth(160);
    combo.setItems({"Flatbed", std::string(30, 'x')});  // 180 pixels
    tarnwick::Sto_AutoWidthCombobox(combo);
    EXPECT_EQ(combo.droppedWidth(), 188);
    EXPECT_EQ(combo.width(), 160);
}

TEST_F(SmallControls, AutoWidthLeavesAListThatIsWideEnough) {
    auto& combo = form.add<ui::ComboBox>();
    combo.setWidth(160);
    combo.setItems({std::string(25, 'x')});  // 150 + 8 = 158
    tarnwick::Sto_AutoWidthCombobox(combo);
    EXPECT_EQ(combo.droppedWidth(), 160);
    combo.setItems({std::string(25, 'x') + "y"});  // 156 + 8 = 164
    tarnwick::Sto_AutoWidthCombobox(combo);
    EXPECT_EQ(combo.droppedWidth(), 164);
}

TEST_F(SmallControls, AutoWidthMeasuresAgainstATemporarilyNarrowList) {
    // Option lists set their width to 10 for the call, so any entry widens the opened list.
    auto& combo = form.add<ui::ComboBox>();
    combo.setWidth(160);
    combo.setItems({"Gray"});
    combo.setWidth(10);
    tarnwick::Sto_AutoWidthCombobox(combo);
    combo.setWidth(160);
    EXPECT_EQ(combo.width(), 160);
    combo.setWidth(10);
    EXPECT_EQ(combo.droppedWidth(), 32);
    ui::ComboBox& empty = form.add<ui::ComboBox>();
    empty.setWidth(0);
    tarnwick::Sto_AutoWidthCombobox(empty);
    EXPECT_EQ(empty.droppedWidth(), 8);
}

TEST(VersionLabel, TwoDecimalsWithAPoint) {
    EXPECT_EQ(tarnwick::versionLabel(1.37), "v1.37");
    EXPECT_EQ(tarnwick::versionLabel(1.5), "v1.50");
    EXPECT_EQ(tarnwick::versionLabel(2.0), "v2.00");
    EXPECT_EQ(tarnwick::versionLabel(0.999), "v1.00");
}

TEST_F(SmallControls, AboutBoxShowsTheVersionAndClosesWithOk) {
    tarnwick::TFAbout about;
    EXPECT_EQ(about.caption(), "About");
    EXPECT_EQ(about.LVersion.text(), "v1.37");
    EXPECT_EQ(about.LProduct.text(), "Tarnwick");
    driver.whenModal([&](ui::Form& f) { driver.click(static_cast<tarnwick::TFAbout&>(f).BOk); });
    EXPECT_EQ(about.showModal(), ui::ModalResult::Ok);
    driver.whenModal([&](ui::Form& f) { driver.pressKey(f, ui::key::Escape); });
    EXPECT_EQ(about.showModal(), ui::ModalResult::Ok);
}

TEST_F(SmallControls, AboutBoxShowsTheProductIconLeftOfItsLabels) {
    tarnwick::TFAbout about([](const std::string&) { return true; });
    const ui::PaintBox& icon = about.IProduct;
    EXPECT_EQ(icon.width(), 32);
    EXPECT_EQ(icon.height(), 32);
    EXPECT_LE(icon.bounds().right, about.LProduct.left());
    EXPECT_GE(icon.left(), 0);
    EXPECT_EQ(icon.top(), about.LProduct.top());
    // The module's icon, on the box's white.
    const ui::Surface drawn = ui::drawToolImage(ui::kProductImage, 32);
    int differing = 0, white = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const ui::Color shown = icon.surface().pixel(x, y) & 0xFFFFFF;
            const ui::Color want = drawn.pixel(x, y) & 0xFFFFFF;
            if (want == (ui::kPictureTransparent & 0xFFFFFF))
                white += shown == 0xFFFFFF;
            else
                differing += shown != want;
        }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(white, 0);
    EXPECT_LT(white, 32 * 32);
}

TEST_F(SmallControls, AboutLinksOpenTheirAddresses) {
    std::vector<std::string> opened;
    tarnwick::TFAbout about([&](const std::string& a) {
        opened.push_back(a);
        return true;
    });
    about.show();
    driver.click(about.LManualLink);
    driver.click(about.LCreditLink);
    driver.click(about.LNotice);
    EXPECT_EQ(opened, (std::vector<std::string>{tarnwick::TFAbout::kManualAddress,
                                                tarnwick::TFAbout::kCreditAddress}));
    EXPECT_EQ(about.LManualLink.cursor(), ui::Cursor::HandPoint);
    EXPECT_GT(about.LManualLink.left(), about.LManual.left() + about.LManual.width());
}

TEST_F(SmallControls, AboutBoxReTranslatesButKeepsVersionAndAddresses) {
    tarnwick::TFAbout about([](const std::string&) { return true; });
    about.translate([](const std::string& s) { return s == "About" ? "Info" : "[" + s + "]"; });
    EXPECT_EQ(about.caption(), "Info");
    EXPECT_EQ(about.BOk.text(), "[OK]");
    EXPECT_EQ(about.LVersion.text(), "v1.37");
    EXPECT_EQ(about.LManualLink.text(), tarnwick::TFAbout::kManualAddress);
    about.translate([](const std::string& s) { return s; });
    EXPECT_EQ(about.caption(), "About");
    EXPECT_EQ(about.BOk.text(), "OK");
}

}  // namespace
