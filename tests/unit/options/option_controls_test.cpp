// The controls options build for themselves: rows, kinds, handlers, state and text forms.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>

#include "gamma/gamma_form.h"
#include "options/number_option.h"
#include "options/option_factory.h"
#include "options/simple_options.h"
#include "options/string_option.h"
#include "support/descriptor_builder.h"
#include "ui/combo_box.h"
#include "ui/edit.h"
#include "ui/headless/driver.h"
#include "ui/number_format.h"
#include "widgets/custom_track_bar.h"

namespace tarnwick::testing {
namespace {

// Keeps one value per option, as a device does, and records every exchange.
class FakeDevice : public OptionDevice {
  public:
    bool controlBool(Word action, Option& option, bool value) override {
        calls.push_back("bool " + std::to_string(action) + " " + std::to_string(value));
        if (action == SANE_ACTION_SET_VALUE) bools[option.index] = value;
        return bools[option.index];
    }
    void controlNumbers(Word action, NumberOption& option) override {
        std::vector<double>& stored = numbers[option.index];
        stored.resize(option.values.size());
        if (action == SANE_ACTION_SET_VALUE) {
            std::string call = "set";
            for (double v : option.values) {
                call += ' ';
                call += ui::formatGeneral(v);
            }
            calls.push_back(call);
            stored.clear();
            // Through the words of the wire, as a real device receives them.
            for (double v : option.values)
                stored.push_back(option.isFixed ? fromFixedWord(toFixedWord(v)) : toIntWord(v));
            if (adjust) adjust(stored);
        }
        option.values = stored;
    }
    std::string controlString(Word action, Option& option, const std::string& text) override {
        if (action == SANE_ACTION_SET_VALUE) {
            calls.push_back("string " + text);
            strings[option.index] = text.substr(0, 8);  // the device keeps eight characters
        }
        return strings[option.index];
    }
    std::vector<std::string> calls;
    std::map<Word, bool> bools;
    std::map<Word, std::vector<double>> numbers;
    std::map<Word, std::string> strings;
    std::function<void(std::vector<double>&)> adjust;  // what the device makes of a SET
};

class Owner : public ControlOwner {
  public:
    TGammaForm& gammaEditor() override { return editor; }
    TGammaForm editor;
};

struct OptionControls : ::testing::Test {
    ui::headless::Driver driver;
    ui::Form form;
    ui::Panel& page = form.add<ui::Panel>();
    FakeDevice device;
    Owner owner;

    OptionControls() {
        form.setClientSize(500, 400);
        page.setAlign(ui::Align::Client);
        form.show();
    }

    template <class T = Option>
    std::unique_ptr<T> make(const DescriptorBuilder& d, bool hideInactive = false) {
        auto option = makeOption(d, &device, hideInactive);
        return std::unique_ptr<T>(dynamic_cast<T*>(option.release()));
    }
    template <class T>
    T& built(Option& option, bool compact = false) {
        ui::Container* holder =
            option.createControl(owner, compact ? (ui::Container&)page : page, compact);
        EXPECT_NE(holder, nullptr);
        auto* control = dynamic_cast<T*>(option.control);
        EXPECT_NE(control, nullptr);
        return *control;
    }
};

constexpr Word kFixedOne = 65536;

TEST_F(OptionControls, RowHasCaptionUnitAndTheControlBetween) {
    // 48 characters and ": " measure 300 pixels: three lines of 16.
    auto option =
        make(DescriptorBuilder(3, "speed", SANE_TYPE_INT).title(std::string(48, 'x')).unit(4));
    auto& edit = built<ui::Edit>(*option);
    ui::Container* row = option->row();
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(option->captionLabel()->text(), std::string(48, 'x') + ": ");
    EXPECT_EQ(option->captionLabel()->height(), 48);
    EXPECT_EQ(option->captionLabel()->width(), 145);
    EXPECT_EQ(row->height(), 56);
    EXPECT_EQ(option->unitLabel()->text(), "dpi");
    EXPECT_EQ(option->unitLabel()->width(), 50);
    EXPECT_EQ(edit.left(), 150);
    EXPECT_EQ(edit.width(), row->width() - 200);
    EXPECT_EQ(row->parent(), &page);

    auto shortOne = make(DescriptorBuilder(4, "x", SANE_TYPE_INT).title("Brightness"));
    built<ui::Edit>(*shortOne);
    EXPECT_EQ(shortOne->row()->height(), 24);
    EXPECT_EQ(shortOne->row()->top(), 56);        // stacked below the first row
    shortOne->createControl(owner, page, false);  // built again: the new row replaces the old
    EXPECT_EQ(page.childCount(), 2u);

    // Destroying the options takes their rows with them.
    option.reset();
    shortOne.reset();
    EXPECT_EQ(page.childCount(), 0u);
}

// 6 pixels a character: the columns of a page take their longest texts; captions wrap beyond
// 240 pixels.
TEST_F(OptionControls, ColumnsOfAPageTakeTheirLongestTexts) {
    auto read = make<NumberOption>(DescriptorBuilder(3, "read", SANE_TYPE_INT)
                                       .title("Return-value of sane_read")
                                       .unit(SANE_UNIT_MICROSECOND));
    read->setRange(0, 1000000, 1);
    built<TCustomTrackBar>(*read);
    EXPECT_EQ(read->unitLabel()->text(), " 0 microsecond");
    auto longOne = make(DescriptorBuilder(4, "long", SANE_TYPE_INT).title(std::string(60, 'x')));
    built<ui::Edit>(*longOne);
    auto plain = make(DescriptorBuilder(5, "plain", SANE_TYPE_INT).title("X"));
    built<ui::Edit>(*plain);
    auto press = make(DescriptorBuilder(6, "press", SANE_TYPE_BUTTON).title("Print options"));
    built<ui::Button>(*press);  // placed, not aligned to the row: it must move too

    alignColumns({read.get(), longOne.get(), plain.get(), press.get()});
    for (Option* o :
         std::initializer_list<Option*>{read.get(), longOne.get(), plain.get(), press.get()}) {
        EXPECT_EQ(o->captionLabel()->width(), 240) << o->name;
        EXPECT_EQ(o->unitLabel()->width(), 20 * 6 + 4) << " 1000000 microsecond";
        EXPECT_EQ(o->control->left(), 245) << o->name;
    }
    EXPECT_EQ(read->row()->height(), 24);
    EXPECT_EQ(longOne->captionLabel()->height(), 32) << "62 characters: two lines";
}

TEST_F(OptionControls, ControlKindsFollowTypeAndConstraint) {
    auto count = make(DescriptorBuilder(0, "", SANE_TYPE_INT));
    EXPECT_EQ(count->createControl(owner, page, false), nullptr);
    auto group = make(DescriptorBuilder(1, "", SANE_TYPE_GROUP));
    EXPECT_EQ(group->createControl(owner, page, false), nullptr);
    EXPECT_EQ(page.childCount(), 0u);

    auto button = make(DescriptorBuilder(2, "calibrate", SANE_TYPE_BUTTON).title("Calibrate"));
    auto& push = built<ui::Button>(*button);
    EXPECT_EQ(push.text(), "Calibrate");
    EXPECT_EQ(push.left(), 150);
    EXPECT_EQ(push.width(), 9 * 6 + 16);
    EXPECT_EQ(push.height(), 21);
    driver.click(push);
    EXPECT_EQ(device.calls.back(), "bool 1 1");

    auto table = make(DescriptorBuilder(3, "gamma", SANE_TYPE_INT).size(1024).range(0, 255, 0));
    auto& tableButton = built<ui::Button>(*table);
    EXPECT_TRUE(tableButton.flat());
    EXPECT_EQ(tableButton.left(), 155);
    ASSERT_NE(tableButton.glyph(), nullptr);
    EXPECT_EQ(tableButton.glyph()->width(), 16);
    EXPECT_EQ(tableButton.transparentColor(), ui::rgb(255, 255, 255));

    auto text = make(DescriptorBuilder(4, "name", SANE_TYPE_STRING).size(12));
    EXPECT_EQ(built<ui::Edit>(*text).maxLength(), 12);
    auto list = make(DescriptorBuilder(5, "mode", SANE_TYPE_STRING).stringList({"Gray", "Color"}));
    auto& choices = built<ui::ComboBox>(*list);
    EXPECT_EQ(choices.style(), ui::ComboStyle::DropDownList);
    EXPECT_EQ(choices.items(), (std::vector<std::string>{"Gray", "Color"}));
}

TEST_F(OptionControls, FixedPointTrackBarCountsInHundredths) {
    auto option =
        make<NumberOption>(DescriptorBuilder(3, "tl-x", SANE_TYPE_FIXED).unit(SANE_UNIT_MM));
    option->setRange(0, 25.4, 0.1);
    auto& bar = built<TCustomTrackBar>(*option);
    EXPECT_EQ(bar.min(), 0);
    EXPECT_EQ(bar.max(), 2540);
    EXPECT_EQ(bar.tickStyle(), ui::TickStyle::None);
    std::vector<Word> sent;
    device.adjust = [&](std::vector<double>& v) { sent.push_back(toFixedWord(v[0])); };
    driver.drag(bar, {900, 1270});
    EXPECT_EQ(sent, (std::vector<Word>{832307}));  // 12.7, sent once, on release
    EXPECT_EQ(option->unitLabel()->text(), " 12 mm");
    EXPECT_EQ(option->valueText(), "12.7");
    // Keys or the wheel move it without a mouse release: the end of their move sends.
    bar.userMoveTo(1280);
    EXPECT_EQ(sent.size(), 1u);
    bar.userEndMove();
    EXPECT_EQ(sent, (std::vector<Word>{832307, toFixedWord(12.8)}));
    // The device's answer moves the thumb.
    device.adjust = [](std::vector<double>& v) { v[0] = 12.5; };
    option->setValueText("20,5x");  // not a number: the position stays, and is sent
    EXPECT_EQ(bar.position(), 1250);
    EXPECT_EQ(option->valueText(), "12.5");
    device.adjust = nullptr;
    option->setValueText("3.333");
    EXPECT_EQ(toFixedWord(option->values[0]), toFixedWord(3.33));
    EXPECT_EQ(option->valueText(), "3.33");
    EXPECT_EQ(option->unitLabel()->text(), " 3 mm");
    // Limits from the words of a real descriptor (25.4 arrives as 25.399994).
    auto fromWords = make<NumberOption>(
        DescriptorBuilder(4, "br-x", SANE_TYPE_FIXED).range(-kFixedOne / 2, toFixedWord(25.4), 0));
    auto& wordBar = built<TCustomTrackBar>(*fromWords);
    EXPECT_EQ(wordBar.min(), -50);
    EXPECT_EQ(wordBar.max(), 2540);
}

// A saved value is the control's text, restored through setValueText: a fixed-point track bar
// gives back the hundredth it showed, however often it is saved and restored.
TEST_F(OptionControls, FixedPointTrackBarValuesSaveAndRestoreUnchanged) {
    auto option = make<NumberOption>(DescriptorBuilder(3, "analog-gamma", SANE_TYPE_FIXED));
    option->setRange(0.1, 5, 0.01);
    built<TCustomTrackBar>(*option);
    for (const char* value : {"1.15", "0.29", "2.3", "1.8", "0.1", "4.99"}) {
        option->setValueText(value);
        ASSERT_EQ(option->valueText(), value);
        for (int round = 1; round <= 10; ++round) {
            const std::string saved = option->valueText();
            option->setValueText(saved);
            EXPECT_EQ(option->valueText(), value) << "after " << round << " saves";
        }
    }
    // Negative values too.
    auto offset = make<NumberOption>(DescriptorBuilder(4, "offset", SANE_TYPE_FIXED));
    offset->setRange(-5, 5, 0.01);
    built<TCustomTrackBar>(*offset);
    offset->setValueText("-0.29");
    for (int round = 1; round <= 10; ++round) offset->setValueText(offset->valueText());
    EXPECT_EQ(offset->valueText(), "-0.29");
}

TEST_F(OptionControls, NumberEditsKeepTheirCharacterLimits) {
    auto integer = make<NumberOption>(DescriptorBuilder(3, "count", SANE_TYPE_INT));
    auto& edit = built<ui::Edit>(*integer);
    driver.clear(edit);
    driver.type(edit, "12345678901");
    EXPECT_EQ(edit.text(), "1234567890");
    driver.pressKey(form, ui::key::Enter);
    EXPECT_EQ(integer->values[0], 1234567890);
    EXPECT_EQ(integer->valueText(), "1234567890");
    integer->setValueText("-42");
    EXPECT_EQ(device.numbers[3][0], -42);
    const std::size_t sent = device.calls.size();
    integer->setValueText("4x");  // no number: nothing sent
    EXPECT_EQ(device.calls.size(), sent);

    auto fixed = make<NumberOption>(DescriptorBuilder(4, "gain", SANE_TYPE_FIXED));
    auto& real = built<ui::Edit>(*fixed);
    EXPECT_EQ(real.text(), "0.0000");
    EXPECT_EQ(real.maxLength(), 11);
    device.adjust = [](std::vector<double>& v) { v[0] = std::min(v[0], 2000.0); };
    fixed->setValueText("12345.5");
    EXPECT_EQ(real.text(), "2,000.0000");  // what the device returned, grouped
    EXPECT_EQ(fixed->valueText(), "2,000.0000");
}

TEST_F(OptionControls, WordListsSelectByValueAndByText) {
    auto option = make<NumberOption>(DescriptorBuilder(3, "depth", SANE_TYPE_FIXED)
                                         .wordList({75 * kFixedOne, kFixedOne * 5 / 2}));
    device.numbers[3] = {2.5};
    auto& list = built<ui::ComboBox>(*option);
    EXPECT_EQ(list.items(), (std::vector<std::string>{"75", "2.5"}));
    EXPECT_EQ(list.itemIndex(), 1);
    driver.select(list, 0);
    EXPECT_EQ(device.numbers[3][0], 75);
    EXPECT_EQ(option->valueText(), "75");
    device.calls.clear();
    option->setValueText("300");  // no such entry: the selection stays, nothing is sent
    EXPECT_EQ(list.itemIndex(), 0);
    EXPECT_TRUE(device.calls.empty());
    option->setValueText("2.5");
    EXPECT_EQ(device.calls, (std::vector<std::string>{"set 2.5"}));
    // A device value that is no entry shows the first one.
    device.numbers[3] = {99};
    option->refresh();
    EXPECT_EQ(list.itemIndex(), 0);
}

// Typed one key at a time, a number is taken on Enter or on leaving, never per key.
TEST_F(OptionControls, FixedPointEditsTakeTheTypedNumberOnEnterOrOnLeaving) {
    auto fixed = make<NumberOption>(DescriptorBuilder(4, "gain", SANE_TYPE_FIXED));
    auto& edit = built<ui::Edit>(*fixed);
    auto& elsewhere = form.add<ui::Edit>();
    device.calls.clear();
    driver.clear(edit);
    driver.type(edit, "12.5");
    EXPECT_EQ(edit.text(), "12.5");
    EXPECT_TRUE(device.calls.empty());
    driver.pressKey(form, ui::key::Enter);
    EXPECT_EQ(device.calls, (std::vector<std::string>{"set 12.5"}));
    EXPECT_EQ(edit.text(), "12.5000");
    driver.clear(edit);
    driver.type(edit, "3");
    driver.focus(elsewhere);
    EXPECT_EQ(device.calls.back(), "set 3");
    EXPECT_EQ(edit.text(), "3.0000");
    driver.focus(edit);
    driver.focus(elsewhere);  // nothing typed: nothing sent
    EXPECT_EQ(device.calls.size(), 2u);
}

TEST_F(OptionControls, CompactResolutionListShowsAndSendsTheDevicesValue) {
    auto option = make<NumberOption>(DescriptorBuilder(3, "resolution", SANE_TYPE_INT));
    option->setRange(50, 1200, 0);
    device.numbers[3] = {50};
    ui::Container* holder = option->createControl(owner, page, true);
    EXPECT_EQ(holder, &page);
    EXPECT_EQ(option->row(), nullptr);
    auto& list = dynamic_cast<ui::ComboBox&>(*option->control);
    auto& elsewhere = form.add<ui::Edit>();
    EXPECT_EQ(list.style(), ui::ComboStyle::DropDown);
    EXPECT_EQ(list.items(), (std::vector<std::string>{"75", "150", "200", "300", "600"}));
    EXPECT_EQ(list.text(), "50");  // the device's value, which the list lacks
    // Every pick is sent at once, and the box shows what the device took.
    device.adjust = [](std::vector<double>& v) { v[0] = std::min(v[0], 400.0); };
    driver.select(list, "300");
    EXPECT_EQ(device.numbers[3][0], 300);
    driver.select(list, "600");
    EXPECT_EQ(list.text(), "400");
    device.adjust = nullptr;
    // Typed text waits for Enter or for leaving the box.
    device.calls.clear();
    for (const char* typed : {"1", "12", "120"}) driver.type(list, typed);
    EXPECT_TRUE(device.calls.empty());
    driver.pressKey(form, ui::key::Enter);
    EXPECT_EQ(device.calls, (std::vector<std::string>{"set 120"}));
    driver.type(list, "fast");
    driver.focus(elsewhere);  // not a number gives the minimum
    EXPECT_EQ(list.text(), "50");
    driver.focus(list);
    driver.focus(elsewhere);  // nothing typed: nothing sent
    EXPECT_EQ(device.calls.size(), 2u);
    // A saved text is sent as well.
    option->setValueText("600");
    EXPECT_EQ(device.numbers[3][0], 600);
    EXPECT_EQ(option->valueText(), "600");
}

TEST_F(OptionControls, AReloadedConstraintReachesTheControl) {
    auto depth = make<NumberOption>(DescriptorBuilder(3, "depth", SANE_TYPE_INT).wordList({1, 8}));
    device.numbers[3] = {8};
    auto& depths = built<ui::ComboBox>(*depth);
    renewConstraint(*depth, DescriptorBuilder(3, "depth", SANE_TYPE_INT).wordList({8, 16}));
    EXPECT_EQ(depths.items(), (std::vector<std::string>{"8", "16"}));
    EXPECT_EQ(depths.itemIndex(), 0);

    auto width = make<NumberOption>(DescriptorBuilder(4, "br-x", SANE_TYPE_INT).range(0, 200, 1));
    auto& bar = built<TCustomTrackBar>(*width);
    renewConstraint(*width, DescriptorBuilder(4, "br-x", SANE_TYPE_INT).range(0, 150, 1));
    EXPECT_EQ(bar.max(), 150);
    EXPECT_EQ(width->max, 150);

    auto mode = make(DescriptorBuilder(5, "mode", SANE_TYPE_STRING).stringList({"Gray"}));
    device.strings[5] = "Color";
    auto& modes = built<ui::ComboBox>(*mode);
    renewConstraint(*mode,
                    DescriptorBuilder(5, "mode", SANE_TYPE_STRING).stringList({"Gray", "Color"}));
    EXPECT_EQ(modes.items(), (std::vector<std::string>{"Gray", "Color"}));
    EXPECT_EQ(modes.itemIndex(), 1);
    // Another type is another option: nothing changes.
    renewConstraint(*mode, DescriptorBuilder(5, "mode", SANE_TYPE_INT).range(0, 1, 0));
    EXPECT_EQ(modes.items().size(), 2u);
}

TEST_F(OptionControls, CheckBoxesSendTheirStateAndShowTheDevice) {
    auto option = make<BoolOption>(DescriptorBuilder(3, "lamp", SANE_TYPE_BOOL));
    auto& box = built<ui::CheckBox>(*option);
    EXPECT_EQ(option->valueText(), "no");
    option->setValueText("YES");
    EXPECT_TRUE(box.checked());
    EXPECT_TRUE(device.bools[3]);
    option->setValueText("true");
    EXPECT_FALSE(device.bools[3]);
    EXPECT_EQ(option->valueText(), "no");
    driver.click(box);
    EXPECT_EQ(option->valueText(), "yes");

    // Automatic: greyed, and a click cycles unchecked → greyed → checked.
    auto automatic = make<BoolOption>(
        DescriptorBuilder(4, "auto", SANE_TYPE_BOOL)
            .cap(SANE_CAP_SOFT_SELECT | SANE_CAP_SOFT_DETECT | SANE_CAP_AUTOMATIC));
    device.calls.clear();
    auto& autoBox = built<ui::CheckBox>(*automatic);
    EXPECT_EQ(autoBox.state(), ui::CheckState::Grayed);
    EXPECT_EQ(device.calls, (std::vector<std::string>{"bool 0 0", "bool 2 0"}));
    EXPECT_EQ(automatic->valueText(), "");
    driver.click(autoBox);
    EXPECT_EQ(autoBox.state(), ui::CheckState::Checked);
    EXPECT_EQ(device.calls.back(), "bool 1 1");
}

TEST_F(OptionControls, StringControlsSendWhatTheUserDoes) {
    auto text = make<StringOption>(DescriptorBuilder(3, "name", SANE_TYPE_STRING).size(16));
    auto& edit = built<ui::Edit>(*text);
    text->setValueText("shown only");
    EXPECT_TRUE(device.calls.empty());
    EXPECT_EQ(text->valueText(), "shown only");
    driver.clear(edit);
    driver.type(edit, "abcdefghij");
    EXPECT_EQ(edit.text(), "abcdefgh");  // the device's answer after every character
    EXPECT_EQ(device.calls.back(), "string abcdefghj");

    auto list = make<StringOption>(
        DescriptorBuilder(4, "mode", SANE_TYPE_STRING).stringList({"Gray", "Color", "Lineart"}));
    device.strings[4] = "Color";
    auto& box = built<ui::ComboBox>(*list);
    EXPECT_EQ(box.itemIndex(), 1);
    device.calls.clear();
    list->setValueText("color");  // not equal: the selection stays and is sent
    EXPECT_EQ(device.calls, (std::vector<std::string>{"string Color"}));
    driver.select(box, 2);
    EXPECT_EQ(device.strings[4], "Lineart");
    EXPECT_EQ(list->valueText(), "Lineart");
}

TEST_F(OptionControls, UnusableOptionsGreyOrHide) {
    constexpr Word usable = SANE_CAP_SOFT_SELECT | SANE_CAP_SOFT_DETECT;
    auto greyed = make(DescriptorBuilder(3, "a", SANE_TYPE_INT).cap(usable | SANE_CAP_INACTIVE));
    auto& edit = built<ui::Edit>(*greyed);
    EXPECT_FALSE(edit.enabled());
    EXPECT_EQ(greyed->captionLabel()->textColor(), ui::SystemColor::GrayText);
    greyed->capabilities = usable;
    greyed->refresh();
    EXPECT_TRUE(edit.enabled());
    EXPECT_EQ(greyed->captionLabel()->textColor(), ui::SystemColor::WindowText);

    auto hidden = make(DescriptorBuilder(4, "b", SANE_TYPE_BOOL).cap(usable), true);
    built<ui::CheckBox>(*hidden);
    EXPECT_TRUE(hidden->row()->visible());
    hidden->capabilities = SANE_CAP_SOFT_DETECT;  // read-only
    hidden->refresh();
    EXPECT_FALSE(hidden->row()->visible());
    EXPECT_TRUE(hidden->control->enabled());
}

TEST_F(OptionControls, TableButtonEditsTheTableInTheGammaEditor) {
    auto option = make<NumberOption>(DescriptorBuilder(3, "gamma-table", SANE_TYPE_INT)
                                         .title("Gamma")
                                         .size(256 * 4)
                                         .range(0, 255, 0));
    std::vector<double> identity;
    for (int i = 0; i < 256; ++i) identity.push_back(i);
    device.numbers[3] = identity;
    auto& button = built<ui::Button>(*option);
    // Cancel: nothing changes and nothing is sent.
    driver.whenModal([&](ui::Form& f) { driver.click(static_cast<TGammaForm&>(f).bCancel); });
    driver.click(button);
    EXPECT_EQ(owner.editor.caption(), "Gamma");
    EXPECT_EQ(owner.editor.LXRange.text(), "X: [0,255]");
    EXPECT_EQ(owner.editor.curve().points().size(), 256u);
    EXPECT_TRUE(device.calls.empty());
    EXPECT_EQ(option->values, identity);
    // OK: every entry is read off the curve and the table is sent.
    driver.whenModal([&](ui::Form& f) {
        auto& editor = static_cast<TGammaForm&>(f);
        driver.click(editor.bStraight);
        driver.mouseDown(editor.PaintBox, {0, 256});
        driver.mouseMove(editor.PaintBox, {128, 256});
        driver.mouseUp(editor.PaintBox, {128, 256});
        driver.click(editor.bOK);
    });
    driver.click(button);
    ASSERT_EQ(device.calls.size(), 1u);
    EXPECT_EQ(option->values[100], 0);    // left of the black point
    EXPECT_EQ(option->values[255], 253);  // (255 - 128) × 2 × 255 / 256, truncated
    // The text form reads back to the same values; a short text counts as no saved value.
    const std::string saved = option->valueText();
    option->setValueText("1,2,3");
    EXPECT_EQ(option->valueText(), saved);
    option->values.assign(256, 7);
    option->setValueText(saved);
    EXPECT_EQ(option->valueText(), saved);
}

TEST_F(OptionControls, FixedPointTablesReadBackExactly) {
    auto option = make<NumberOption>(
        DescriptorBuilder(3, "table", SANE_TYPE_FIXED).size(12).range(0, 255 * kFixedOne, 0));
    const std::vector<double> values{32767.9999847412109375, 1.0 / 65536, 12.5};
    device.numbers[3] = values;
    built<ui::Button>(*option);
    const std::string text = option->valueText();
    EXPECT_EQ(text.find(' '), std::string::npos);
    option->values.assign(3, 0);
    option->setValueText(text);
    EXPECT_EQ(device.numbers[3], values);
    option->setValueText("1,2");
    option->setValueText("1,a,2");
    EXPECT_EQ(device.numbers[3], values);
}

}  // namespace
}  // namespace tarnwick::testing
