// Opening a test device of a real saned and working its options.
#include <algorithm>

#include "integration/device_support.h"
#include "options/simple_options.h"
#include "options/string_option.h"

namespace tarnwick::testing {
namespace {

using DeviceOptions = SanedTest;

TEST_F(DeviceOptions, LogsOnAndListsBothTestDevices) {
    const std::vector<DeviceRecord>& devices = connection_->getDevices();
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[0].name, "test:0");
    EXPECT_EQ(devices[1].name, "test:1");
    EXPECT_EQ(devices[0].vendor, "Noname");
}

bool kindMatches(ListedKind kind, Word type) {
    switch (kind) {
        case ListedKind::group:
            return type == SANE_TYPE_GROUP;
        case ListedKind::boolean:
            return type == SANE_TYPE_BOOL;
        case ListedKind::integer:
            return type == SANE_TYPE_INT;
        case ListedKind::fixed:
            return type == SANE_TYPE_FIXED;
        case ListedKind::number:
            return type == SANE_TYPE_INT || type == SANE_TYPE_FIXED;
        case ListedKind::string:
            return type == SANE_TYPE_STRING;
        case ListedKind::button:
            return type == SANE_TYPE_BUTTON;
    }
    return false;
}

TEST_F(DeviceOptions, DescriptorsMatchWhatScanimageLists) {
    std::unique_ptr<Device> device = openDevice();
    ASSERT_TRUE(device);
    EXPECT_TRUE(device->isOpen());
    EXPECT_TRUE(device->parametersValid());
    std::vector<ListedOption> listed = scanimageOptions(saned_.configDir());
    ASSERT_FALSE(listed.empty());
    const Device::OptionList& options = device->options();
    // scanimage leaves out option 0, the option count.
    ASSERT_EQ(options.size(), listed.size() + 1);
    EXPECT_EQ(options[0]->index, 0);
    for (std::size_t i = 0; i < listed.size(); ++i) {
        const Option& option = *options[i + 1];
        if (listed[i].kind == ListedKind::group)
            EXPECT_EQ(option.title, listed[i].title);
        else
            EXPECT_EQ(option.name, listed[i].name);
        EXPECT_TRUE(kindMatches(listed[i].kind, option.valueType())) << option.name;
    }
    // Loaded once: a second call returns the same objects.
    const Option* first = options[1].get();
    EXPECT_EQ(device->loadOptions(false, false)[1].get(), first);
    device->close();
    EXPECT_FALSE(device->isOpen());
}

TEST_F(DeviceOptions, EnablingTestOptionsReloadsTheirCapabilities) {
    std::unique_ptr<Device> device = openDevice();
    ASSERT_TRUE(device);
    Option* intOption = device->findOption("int");
    ASSERT_NE(intOption, nullptr);
    EXPECT_FALSE(intOption->isActive());
    events.clear();
    reports.clear();
    EXPECT_TRUE(setBool(*device, "enable-test-options", true));
    EXPECT_TRUE(device->findOption("enable-test-options")->info & SANE_INFO_RELOAD_OPTIONS);
    EXPECT_TRUE(intOption->isActive());
    EXPECT_NE(std::find(events.begin(), events.end(), Device::optionsReloaded), events.end());
    EXPECT_TRUE(reported("Reloading option values"));
    EXPECT_EQ(reports.back().message, "0");
    EXPECT_FALSE(anyError());
}

TEST_F(DeviceOptions, GetsAndSetsValuesOfEveryType) {
    std::unique_ptr<Device> device = openDevice();
    ASSERT_TRUE(device);
    setBool(*device, "enable-test-options", true);
    reports.clear();

    NumberOption& integer = number(*device, "int");
    device->setNumber(integer, 42.9);  // integers travel truncated
    integer.values[0] = 0;
    device->controlNumbers(SANE_ACTION_GET_VALUE, integer);
    EXPECT_EQ(integer.values[0], 42);

    NumberOption& fixed = number(*device, "fixed");
    EXPECT_TRUE(fixed.isFixed);
    device->setNumber(fixed, -1.5);
    fixed.values[0] = 0;
    device->controlNumbers(SANE_ACTION_GET_VALUE, fixed);
    EXPECT_EQ(fixed.values[0], -1.5);

    NumberOption& table = number(*device, "int-constraint-array");
    ASSERT_GT(table.valueCount(), 2);
    table.values[0] = 3;
    table.values[1] = 7;
    device->controlNumbers(SANE_ACTION_SET_VALUE, table);
    std::fill(table.values.begin(), table.values.end(), 0);
    table.refresh();
    EXPECT_EQ(table.values[0], 3);
    EXPECT_EQ(table.values[1], 7);

    EXPECT_EQ(setString(*device, "string", "hello"), "hello");
    auto& list = dynamic_cast<StringOption&>(*device->findOption("string-constraint-string-list"));
    ASSERT_EQ(list.choices.size(), 3u);
    list.setValueText("Second entry");
    EXPECT_EQ(list.valueText(), "Second entry");
    list.setValueText("not an entry");  // not among the choices: nothing sent
    EXPECT_EQ(list.valueText(), "Second entry");

    EXPECT_FALSE(setBool(*device, "bool-soft-select-soft-detect", false));
    EXPECT_TRUE(setBool(*device, "bool-soft-select-soft-detect", true));

    auto& button = dynamic_cast<ButtonOption&>(*device->findOption("button"));
    button.press();
    EXPECT_FALSE(anyError());
}

TEST_F(DeviceOptions, InexactValuesAreReported) {
    std::unique_ptr<Device> device = openDevice();
    ASSERT_TRUE(device);
    setBool(*device, "enable-test-options", true);
    reports.clear();
    NumberOption& inexact = number(*device, "int-inexact");
    device->setNumber(inexact, 50);
    EXPECT_TRUE(inexact.info & SANE_INFO_INEXACT);
    EXPECT_TRUE(reported("The value was modified by the scanner backend"));
    EXPECT_FALSE(anyError());
}

TEST_F(DeviceOptions, OptionsTheDeviceWouldRefuseAreNotSent) {
    std::unique_ptr<Device> device = openDevice();
    ASSERT_TRUE(device);
    // Inactive until the test options are enabled: a GET leaves the values alone.
    NumberOption& integer = number(*device, "int");
    integer.values[0] = 17;
    device->controlNumbers(SANE_ACTION_GET_VALUE, integer);
    EXPECT_EQ(integer.values[0], 17);
    EXPECT_TRUE(
        device->controlBool(SANE_ACTION_GET_VALUE, *device->findOption("bool-soft-detect"), true));

    setBool(*device, "enable-test-options", true);
    // Read-only: no SET goes out, the value passed in comes back.
    Option& readOnly = *device->findOption("bool-soft-detect");
    EXPECT_TRUE(readOnly.isReadOnly());
    EXPECT_TRUE(device->controlBool(SANE_ACTION_SET_VALUE, readOnly, true));
    EXPECT_FALSE(anyError());
}

TEST_F(DeviceOptions, ParametersFollowTheOptions) {
    std::unique_ptr<Device> device = openDevice();
    ASSERT_TRUE(device);
    smallArea(*device);
    events.clear();
    setString(*device, "mode", "Color");
    // Told at once, fetched when read.
    EXPECT_NE(std::find(events.begin(), events.end(), Device::parametersChanged), events.end());
    EXPECT_EQ(std::find(events.begin(), events.end(), Device::parametersLoaded), events.end());
    EXPECT_EQ(device->parameters().format, SANE_FRAME_RGB);
    EXPECT_NE(std::find(events.begin(), events.end(), Device::parametersLoaded), events.end());
    setNumber(*device, "depth", 16);
    EXPECT_EQ(device->parameters().depth, 16);
    EXPECT_EQ(device->parameters().bytesPerLine, device->parameters().pixelsPerLine * 6);
}

TEST_F(DeviceOptions, WithoutReloadsTheParametersStillFollow) {
    std::unique_ptr<Device> device = openDevice();
    ASSERT_TRUE(device);
    device->setReloadEnabled(false);
    Option* threePass = device->findOption("three-pass");
    EXPECT_FALSE(threePass->isActive());
    events.clear();
    // Colour mode activates three-pass and changes the parameters.
    setString(*device, "mode", "Color");
    EXPECT_EQ(device->findOption("mode")->info & 6, 6);
    EXPECT_FALSE(threePass->isActive());
    EXPECT_EQ(std::find(events.begin(), events.end(), Device::optionsReloaded), events.end());
    EXPECT_EQ(device->parameters().format, SANE_FRAME_RGB);
}

}  // namespace
}  // namespace tarnwick::testing
