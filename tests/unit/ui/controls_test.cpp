#include <gtest/gtest.h>

#include "ui/button.h"
#include "ui/combo_box.h"
#include "ui/edit.h"
#include "ui/form.h"
#include "ui/headless/driver.h"
#include "ui/track_bar.h"

namespace {

struct ControlsTest : testing::Test {
    ui::headless::Driver driver;
    ui::Form form;
    void SetUp() override { form.show(); }
};

TEST_F(ControlsTest, CheckBoxRunsItsClickHandlerOnEveryActualChange) {
    auto& box = form.add<ui::CheckBox>();
    int clicks = 0;
    box.onClick = [&] { ++clicks; };
    box.setChecked(true);  // by code
    EXPECT_EQ(clicks, 1);
    box.setChecked(true);  // no change
    EXPECT_EQ(clicks, 1);
    driver.click(box);  // by the user
    EXPECT_EQ(box.state(), ui::CheckState::Unchecked);
    EXPECT_EQ(clicks, 2);
}

TEST_F(ControlsTest, CheckBoxWithThirdStateCyclesThroughGreyed) {
    auto& box = form.add<ui::CheckBox>();
    box.setAllowGrayed(true);
    std::vector<ui::CheckState> seen;
    box.onClick = [&] { seen.push_back(box.state()); };
    for (int i = 0; i < 3; ++i) driver.click(box);
    EXPECT_EQ(seen, (std::vector{ui::CheckState::Grayed, ui::CheckState::Checked,
                                 ui::CheckState::Unchecked}));
}

TEST_F(ControlsTest, GreyedIsRefusedWithoutTheThirdState) {
    auto& box = form.add<ui::CheckBox>();
    box.setChecked(true);
    box.setState(ui::CheckState::Grayed);
    EXPECT_EQ(box.state(), ui::CheckState::Unchecked);
}

TEST_F(ControlsTest, DetachedHandlerDoesNotRunAndComesBack) {
    auto& box = form.add<ui::CheckBox>();
    int clicks = 0;
    box.onClick = [&] { ++clicks; };
    {
        ui::Detached guard(box.onClick);
        box.setChecked(true);
    }
    EXPECT_EQ(clicks, 0);
    box.setChecked(false);
    EXPECT_EQ(clicks, 1);
}

TEST_F(ControlsTest, DisabledOrHiddenControlsIgnoreTheUser) {
    auto& box = form.add<ui::CheckBox>();
    box.setEnabled(false);
    EXPECT_FALSE(driver.click(box));
    EXPECT_FALSE(box.checked());
    box.setEnabled(true);
    box.setVisible(false);
    EXPECT_FALSE(driver.click(box));
    auto& panel = form.add<ui::Panel>();
    auto& inner = panel.add<ui::CheckBox>();
    panel.setEnabled(false);
    EXPECT_FALSE(driver.click(inner));
}

TEST_F(ControlsTest, RadioButtonsOfOneParentExcludeEachOther) {
    auto& a = form.add<ui::RadioButton>();
    auto& b = form.add<ui::RadioButton>();
    auto& other = form.add<ui::Panel>().add<ui::RadioButton>();
    other.setChecked(true);
    int bClicks = 0;
    b.onClick = [&] { ++bClicks; };
    a.setChecked(true);
    driver.click(b);
    EXPECT_FALSE(a.checked());
    EXPECT_TRUE(b.checked());
    EXPECT_TRUE(other.checked());
    EXPECT_EQ(bClicks, 1);
}

TEST_F(ControlsTest, EditLimitsWhatTheUserTypesNotWhatCodeSets) {
    auto& edit = form.add<ui::Edit>();
    edit.setInput(ui::EditInput::Integer);
    edit.setMaxLength(10);
    driver.type(edit, "12345678901");
    EXPECT_EQ(edit.text(), "1234567890");
    edit.setText("123456789012");
    EXPECT_EQ(edit.text(), "123456789012");
    driver.clear(edit);
    driver.type(edit, "-1-2x3");
    EXPECT_EQ(edit.text(), "-123");
    EXPECT_EQ(edit.integerValue(), -123);
}

TEST_F(ControlsTest, DigitMaskTakesDigitsOnly) {
    auto& port = form.add<ui::Edit>();
    port.setInput(ui::EditInput::Digits);
    port.setMaxLength(4);
    driver.type(port, "-65a6612");
    EXPECT_EQ(port.text(), "6566");
}

TEST_F(ControlsTest, EditChangesRunOnChangeAndOnlyTypingMarksModified) {
    auto& edit = form.add<ui::Edit>();
    int changes = 0;
    edit.onChange = [&] { ++changes; };
    edit.setText("abc");
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(edit.modified());
    driver.type(edit, "d");
    EXPECT_EQ(changes, 2);
    EXPECT_TRUE(edit.modified());
    driver.backspace(edit);
    EXPECT_EQ(edit.text(), "abc");
}

TEST_F(ControlsTest, PasswordEditKeepsTheTypedText) {
    auto& edit = form.add<ui::Edit>();
    edit.setPasswordChar('*');
    driver.type(edit, "s3cret");
    EXPECT_EQ(edit.text(), "s3cret");
}

TEST_F(ControlsTest, ComboBoxRunsOnChangeForTheUserOnly) {
    auto& combo = form.add<ui::ComboBox>();
    combo.setItems({"75", "150", "300"});
    int changes = 0;
    combo.onChange = [&] { ++changes; };
    combo.setItemIndex(1);
    combo.setComboText("300");
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(combo.itemIndex(), 2);
    driver.select(combo, 0);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(combo.text(), "75");
    EXPECT_FALSE(driver.select(combo, "600"));
    EXPECT_EQ(changes, 1);
}

TEST_F(ControlsTest, FixedListTextWithoutMatchSelectsNothing) {
    auto& combo = form.add<ui::ComboBox>();
    combo.setItems({"a", "b"});
    combo.setItemIndex(1);
    combo.setComboText("c");
    EXPECT_EQ(combo.itemIndex(), -1);
    EXPECT_EQ(combo.text(), "");
    combo.setItemIndex(5);
    EXPECT_EQ(combo.itemIndex(), -1);
}

TEST_F(ControlsTest, EditableListKeepsFreeTextAndReportsFocusLoss) {
    auto& combo = form.add<ui::ComboBox>(ui::ComboStyle::DropDown);
    auto& next = form.add<ui::Edit>();
    combo.setItems({"75", "150"});
    int exits = 0, changes = 0;
    combo.onExit = [&] { ++exits; };
    combo.onChange = [&] { ++changes; };
    driver.type(combo, "123");
    EXPECT_EQ(combo.text(), "123");
    EXPECT_EQ(combo.itemIndex(), -1);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(exits, 0);
    driver.focus(next);
    EXPECT_EQ(exits, 1);
    driver.focus(next);
    EXPECT_EQ(exits, 1);
}

TEST_F(ControlsTest, HiddenControlLosesTheFocusWithoutDangling) {
    auto& edit = form.add<ui::Edit>();
    driver.focus(edit);
    edit.setVisible(false);
    EXPECT_EQ(form.activeControl(), nullptr);
    driver.focus(edit);
    EXPECT_EQ(form.activeControl(), nullptr);
    auto& panel = form.add<ui::Panel>();
    auto& inner = panel.add<ui::Edit>();
    driver.focus(inner);
    panel.destroy();
    EXPECT_EQ(form.activeControl(), nullptr);
}

TEST_F(ControlsTest, TrackBarKeepsItsPositionInRangeAndReportsMoves) {
    auto& bar = form.add<ui::TrackBar>();
    bar.setRange(0, 2540);
    std::vector<int> moves;
    bar.onChange = [&] { moves.push_back(bar.position()); };
    bar.setPosition(3000);
    bar.setPosition(-5);
    EXPECT_EQ(moves, (std::vector{2540, 0}));
    bar.setRange(10, 20);
    EXPECT_EQ(bar.position(), 10);
}

TEST_F(ControlsTest, TrackBarMouseButtonsOnlyWithNotifications) {
    auto& bar = form.add<ui::TrackBar>();
    bar.setRange(0, 100);
    std::vector<std::string> events;
    bar.onMouseDown = [&](const ui::MouseEvent&) { events.push_back("down"); };
    bar.onMouseUp = [&](const ui::MouseEvent&) {
        events.push_back("up@" + std::to_string(bar.position()));
    };
    bar.onChange = [&] { events.push_back("move"); };
    driver.drag(bar, {10});
    EXPECT_EQ(events, (std::vector<std::string>{"move"}));
    events.clear();
    bar.setMouseNotifications(true);
    driver.drag(bar, {20, 30});
    EXPECT_EQ(events, (std::vector<std::string>{"down", "move", "move", "up@30"}));
}

}  // namespace
