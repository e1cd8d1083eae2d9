// The option model: construction from descriptors, capabilities, bounds, units, text forms.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "base/debug_log.h"
#include "options/number_option.h"
#include "options/option_factory.h"
#include "options/simple_options.h"
#include "options/string_option.h"
#include "support/descriptor_builder.h"

namespace tarnwick::testing {
namespace {

// Records what the options ask of their device.
class RecordingDevice : public OptionDevice {
  public:
    bool controlBool(Word action, Option&, bool value) override {
        calls.push_back("bool " + std::to_string(action) + " " + std::to_string(value));
        return value;
    }
    void controlNumbers(Word action, NumberOption& option) override {
        std::string call = "numbers " + std::to_string(action);
        for (double v : option.values) call.append(" ").append(std::to_string(v));
        calls.push_back(call);
    }
    std::string controlString(Word action, Option&, const std::string& text) override {
        calls.push_back("string " + std::to_string(action) + " " + text);
        return action == SANE_ACTION_GET_VALUE ? current : text;
    }
    std::vector<std::string> calls;
    std::string current = "Gray";
};

template <class T>
T& as(const std::unique_ptr<Option>& option) {
    return dynamic_cast<T&>(*option);
}

TEST(OptionModel, ClassesFollowTheDescriptorType) {
    RecordingDevice device;
    EXPECT_EQ(makeOption(DescriptorBuilder(1, "b", SANE_TYPE_BOOL), &device, false)->valueType(),
              0);
    EXPECT_EQ(makeOption(DescriptorBuilder(1, "i", SANE_TYPE_INT), &device, false)->valueType(), 1);
    EXPECT_EQ(makeOption(DescriptorBuilder(1, "f", SANE_TYPE_FIXED), &device, false)->valueType(),
              2);
    EXPECT_EQ(makeOption(DescriptorBuilder(1, "s", SANE_TYPE_STRING), &device, false)->valueType(),
              3);
    EXPECT_EQ(makeOption(DescriptorBuilder(1, "x", SANE_TYPE_BUTTON), &device, false)->valueType(),
              4);
    EXPECT_EQ(makeOption(DescriptorBuilder(1, "", SANE_TYPE_GROUP), &device, false)->valueType(),
              5);
    EXPECT_EQ(makeOption(DescriptorBuilder(1, "?", 6), &device, false), nullptr);
    Option plain(0, "p", "", "", 0, 4, 0, nullptr);
    EXPECT_EQ(plain.valueType(), -1);
    EXPECT_EQ(plain.valueCount(), 1);
}

TEST(OptionModel, ValueCountFollowsTheSize) {
    auto table = makeOption(DescriptorBuilder(1, "t", SANE_TYPE_INT).size(12), nullptr, true);
    EXPECT_EQ(table->valueCount(), 3);
    EXPECT_TRUE(table->hideInactive);
    EXPECT_EQ(makeOption(DescriptorBuilder(1, "t", SANE_TYPE_INT), nullptr, false)->valueCount(),
              1);
    EXPECT_EQ(
        makeOption(DescriptorBuilder(1, "t", SANE_TYPE_INT).size(0), nullptr, false)->valueCount(),
        0);
    EXPECT_EQ(makeOption(DescriptorBuilder(1, "s", SANE_TYPE_STRING).size(7), nullptr, false)
                  ->valueCount(),
              7);
}

TEST(OptionModel, BoundsOfEachConstraint) {
    double low = 0, high = 0;
    auto list = makeOption(DescriptorBuilder(1, "r", SANE_TYPE_INT).wordList({300, 75, 150}),
                           nullptr, false);
    as<NumberOption>(list).getBounds(low, high);
    EXPECT_EQ(low, 75);
    EXPECT_EQ(high, 300);
    auto range =
        makeOption(DescriptorBuilder(1, "r", SANE_TYPE_INT).range(50, 1200, 1), nullptr, false);
    as<NumberOption>(range).getBounds(low, high);
    EXPECT_EQ(low, 50);
    EXPECT_EQ(high, 1200);
    auto none = makeOption(DescriptorBuilder(1, "r", SANE_TYPE_INT), nullptr, false);
    as<NumberOption>(none).getBounds(low, high);
    EXPECT_EQ(low, -5000000000.0);
    EXPECT_EQ(high, 5000000000.0);
    auto empty = makeOption(DescriptorBuilder(1, "r", SANE_TYPE_INT).wordList({}), nullptr, false);
    // No entry was added, so the option counts as unconstrained.
    as<NumberOption>(empty).getBounds(low, high);
    EXPECT_EQ(low, -5000000000.0);
    EXPECT_EQ(high, 5000000000.0);
}

TEST(OptionModel, FixedPointConstraintsBecomeReals) {
    auto range = makeOption(DescriptorBuilder(1, "x", SANE_TYPE_FIXED).range(0, 25 << 16, 6553),
                            nullptr, false);
    auto& number = as<NumberOption>(range);
    EXPECT_TRUE(number.isFixed);
    EXPECT_EQ(number.constraintKind, numberRange);
    EXPECT_EQ(number.max, 25.0);
    EXPECT_EQ(number.quant, 0.0999908447265625);
    auto list = makeOption(DescriptorBuilder(1, "x", SANE_TYPE_FIXED).wordList({-98304, 98304}),
                           nullptr, false);
    EXPECT_EQ(as<NumberOption>(list).wordList, (std::vector<double>{-1.5, 1.5}));
    auto strings = makeOption(
        DescriptorBuilder(1, "m", SANE_TYPE_STRING).stringList({"Gray", "Color"}), nullptr, false);
    EXPECT_EQ(as<StringOption>(strings).choices, (std::vector<std::string>{"Gray", "Color"}));
}

TEST(OptionModel, CapabilityPredicates) {
    auto with = [](Word cap) { return Option(1, "o", "", "", 0, 4, cap, nullptr); };
    EXPECT_TRUE(with(4).isReadOnly());
    EXPECT_TRUE(with(4 + 32).isReadOnly());
    EXPECT_FALSE(with(5).isReadOnly());
    EXPECT_FALSE(with(6).isReadOnly());
    EXPECT_FALSE(with(5 + 32).isActive());
    EXPECT_FALSE(with(5 + 32).isUsable());
    EXPECT_FALSE(with(4).isUsable());
    EXPECT_TRUE(with(5).isUsable());
    EXPECT_TRUE(with(16).isAutomatic());
}

TEST(OptionModel, UnitTexts) {
    EXPECT_EQ(unitText(SANE_UNIT_NONE), "");
    EXPECT_EQ(unitText(SANE_UNIT_PIXEL), "pel");
    EXPECT_EQ(unitText(SANE_UNIT_MM), "mm");
    EXPECT_EQ(unitText(SANE_UNIT_DPI), "dpi");
    EXPECT_EQ(unitText(SANE_UNIT_PERCENT), "%");
    EXPECT_EQ(unitText(SANE_UNIT_MICROSECOND), "microsecond");
    EXPECT_EQ(unitText(9), "unknown");
    EXPECT_EQ(unitText(-1), "unknown");
}

TEST(OptionModel, NumberTextFormsReadBack) {
    RecordingDevice device;
    auto fixed = makeOption(DescriptorBuilder(1, "f", SANE_TYPE_FIXED).size(8), &device, false);
    auto& number = as<NumberOption>(fixed);
    number.values = {12.5, -0.0999908447265625};
    number.stale = false;  // as the device answered them
    std::string text = number.valueText();
    EXPECT_EQ(text, "12.5,-0.0999908447265625");
    number.values = {0, 0};
    number.setValueText(text);
    EXPECT_EQ(number.values, (std::vector<double>{12.5, -0.0999908447265625}));
    ASSERT_EQ(device.calls.size(), 1u);

    auto integer = makeOption(DescriptorBuilder(1, "i", SANE_TYPE_INT).size(16), &device, false);
    auto& table = as<NumberOption>(integer);
    table.values = {0, 1, 3, 7};
    table.stale = false;
    EXPECT_EQ(table.valueText(), "0,1,3,7");
    // Short, long or malformed texts change nothing and send nothing.
    device.calls.clear();
    for (const char* bad : {"1,2,3", "1,2,3,4,5", "1,x,3,4", "", "1,,3,4"}) table.setValueText(bad);
    EXPECT_EQ(table.values, (std::vector<double>{0, 1, 3, 7}));
    EXPECT_TRUE(device.calls.empty());
    table.setValueText("4, 3 ,2,1.9");
    EXPECT_EQ(table.values, (std::vector<double>{4, 3, 2, 1}));
}

TEST(OptionModel, BoolAndStringTextFormsGoToTheDevice) {
    RecordingDevice device;
    BoolOption flag(1, "b", "", "", 0, 4, 5, &device);
    flag.setValueText("YES");
    flag.setValueText("1");
    flag.setValueText("true");
    EXPECT_EQ(device.calls, (std::vector<std::string>{"bool 1 1", "bool 1 1", "bool 1 0"}));
    // Without a check box the value is the device's.
    device.calls.clear();
    EXPECT_EQ(flag.valueText(), "no");
    EXPECT_EQ(device.calls, (std::vector<std::string>{"bool 0 0"}));

    device.calls.clear();
    auto mode =
        makeOption(DescriptorBuilder(2, "mode", SANE_TYPE_STRING).stringList({"Gray", "Color"}),
                   &device, false);
    EXPECT_EQ(mode->valueText(), "Gray");
    mode->setValueText("Color");
    mode->setValueText("color");  // not an entry: nothing sent
    EXPECT_EQ(device.calls, (std::vector<std::string>{"string 0 ", "string 1 Color"}));
}

TEST(OptionModel, RefreshReadsNumbersOnly) {
    RecordingDevice device;
    auto number = makeOption(DescriptorBuilder(1, "i", SANE_TYPE_INT), &device, false);
    number->refresh();
    ButtonOption button(2, "x", "", "", 0, 0, 5, &device);
    button.refresh();
    EXPECT_EQ(device.calls, (std::vector<std::string>{"numbers 0 0.000000"}));
    button.press();
    EXPECT_EQ(device.calls.back(), "bool 1 1");
}

}  // namespace
}  // namespace tarnwick::testing

namespace tarnwick::testing {
namespace {

TEST(OptionModel, CreationIsLogged) {
    std::filesystem::path folder =
        std::filesystem::temp_directory_path() /
        ("tarnwick-option-log-" +
         std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    std::filesystem::create_directories(folder);
    startDebugLog(folder);
    makeOption(DescriptorBuilder(3, "mode", SANE_TYPE_STRING).cap(5), nullptr, false);
    stopDebugLog();
    std::ifstream in(folder / "tarnwick.dbg");
    std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(log.find("Option created: 3, mode\n\tOption capabilities: 5\n"), std::string::npos)
        << log;
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace tarnwick::testing
