// The option rows of the real test backend: control kinds, captions, units, text forms, and how
// the rows follow the device's answers and reloads.
#include <algorithm>

#include "gamma/gamma_form.h"
#include "integration/device_support.h"
#include "options/simple_options.h"
#include "options/string_option.h"
#include "ui/combo_box.h"
#include "ui/edit.h"
#include "ui/headless/driver.h"
#include "widgets/auth_form.h"
#include "widgets/custom_track_bar.h"

namespace tarnwick::testing {
namespace {

class Owner : public ControlOwner {
  public:
    TGammaForm& gammaEditor() override { return editor; }
    TGammaForm editor;
};

class OptionRows : public SanedTest {
  protected:
    void SetUp() override {
        SanedTest::SetUp();
        form.setClientSize(600, 400);
        page.setAlign(ui::Align::Client);
        form.show();
    }
    void TearDown() override { closeDevice(); }
    void closeDevice() {
        if (device) device->close();
        device.reset();
    }

    // Opens test:0 with the test options on and builds a row for every option.
    void buildRows(bool hideInactive) {
        device = std::make_unique<Device>(*connection_, Connection::deviceNamed("test:0"));
        ASSERT_TRUE(device->open(nullptr));
        device->loadOptions(false, hideInactive);
        ASSERT_TRUE(setBool(*device, "enable-test-options", true));
        for (const auto& option : device->options()) option->createControl(owner, page, false);
    }
    template <class T>
    T& control(const std::string& name) {
        Option* option = device->findOption(name);
        EXPECT_NE(option, nullptr) << name;
        auto* c = option ? dynamic_cast<T*>(option->control) : nullptr;
        EXPECT_NE(c, nullptr) << name;
        return *c;
    }
    std::string text(const std::string& name) { return device->findOption(name)->valueText(); }
    std::string unitLabel(const std::string& name) {
        return device->findOption(name)->unitLabel()->text();
    }

    ui::headless::Driver driver;
    ui::Form form;
    ui::Panel& page = form.add<ui::Panel>();
    Owner owner;
    std::unique_ptr<Device> device;
};

// What scanimage's kind of an option allows as its control.
bool controlFits(ListedKind kind, ui::Control* c) {
    switch (kind) {
        case ListedKind::boolean:
            return dynamic_cast<ui::CheckBox*>(c);
        case ListedKind::button:
            return dynamic_cast<ui::Button*>(c);
        case ListedKind::string:
            return dynamic_cast<ui::Edit*>(c) || dynamic_cast<ui::ComboBox*>(c);
        case ListedKind::integer:
        case ListedKind::fixed:
        case ListedKind::number:
            return dynamic_cast<ui::Edit*>(c) || dynamic_cast<ui::ComboBox*>(c) ||
                   dynamic_cast<TCustomTrackBar*>(c) || dynamic_cast<ui::Button*>(c);
        case ListedKind::group:
            return c == nullptr;
    }
    return false;
}

TEST_F(OptionRows, EveryOptionOfTheTestBackendGetsItsRow) {
    buildRows(false);
    std::vector<ListedOption> listed = scanimageOptions(saned_.configDir());
    ASSERT_FALSE(listed.empty());
    for (const ListedOption& entry : listed) {
        if (entry.kind == ListedKind::group) continue;
        Option* option = device->findOption(entry.name);
        ASSERT_NE(option, nullptr) << entry.name;
        EXPECT_TRUE(controlFits(entry.kind, option->control)) << entry.name;
        ASSERT_NE(option->row(), nullptr) << entry.name;
        EXPECT_EQ(option->captionLabel()->text(), option->title + ": ");
        EXPECT_EQ(option->captionLabel()->hint(), option->description);
    }
    EXPECT_EQ(device->options()[0]->control, nullptr);  // the option count

    // Kinds by constraint, with the value each shows.
    EXPECT_EQ(control<ui::ComboBox>("mode").items(), (std::vector<std::string>{"Gray", "Color"}));
    EXPECT_EQ(text("mode"), "Gray");
    EXPECT_EQ(control<ui::ComboBox>("depth").text(), "8");
    EXPECT_EQ(text("hand-scanner"), "no");
    EXPECT_EQ(control<TCustomTrackBar>("resolution").max(), 120000);  // fixed point: hundredths
    EXPECT_EQ(text("resolution"), "50");
    EXPECT_EQ(unitLabel("resolution"), " 50 dpi");
    EXPECT_EQ(control<TCustomTrackBar>("br-x").max(), 20000);
    EXPECT_EQ(text("br-x"), "80");
    EXPECT_EQ(unitLabel("br-x"), " 80 mm");
    EXPECT_EQ(control<ui::Edit>("int").text(), "42");
    EXPECT_EQ(control<ui::Edit>("fixed").text(), "42.0000");
    EXPECT_EQ(text("int-constraint-word-list"), "42");
    EXPECT_EQ(unitLabel("int-constraint-word-list"), "bit");
    EXPECT_EQ(control<ui::ComboBox>("fixed-constraint-word-list").items(),
              (std::vector<std::string>{"-32.7", "12.1", "42", "129.5"}));
    EXPECT_EQ(control<TCustomTrackBar>("fixed-constraint-range").min(), -4217);
    EXPECT_EQ(text("fixed-constraint-range"), "41.83");
    EXPECT_EQ(unitLabel("fixed-constraint-range"), " 41 microsecond");
    EXPECT_TRUE(control<ui::Button>("gamma-table").flat());
    EXPECT_TRUE(control<ui::Button>("int-constraint-array-constraint-range").flat());
    EXPECT_EQ(control<ui::Edit>("int-constraint-array").input(), ui::EditInput::Integer);
    EXPECT_EQ(text("string-constraint-string-list"), "First entry");
    EXPECT_EQ(control<ui::Button>("button").text(), device->findOption("button")->title);
    EXPECT_TRUE(control<ui::Edit>("string").text().starts_with("This is the contents"));
    // Capabilities: automatic has the greyed state; read-only and hardware options are greyed.
    EXPECT_EQ(control<ui::CheckBox>("bool-soft-select-soft-detect-auto").state(),
              ui::CheckState::Grayed);
    EXPECT_FALSE(control<ui::CheckBox>("bool-soft-detect").enabled());
    EXPECT_TRUE(control<ui::CheckBox>("bool-soft-select-soft-detect").enabled());
    EXPECT_FALSE(anyError());
}

TEST_F(OptionRows, ControlsSendAndShowWhatTheDeviceReturns) {
    buildRows(false);
    // The device changes this value and says so.
    reports.clear();
    auto& inexact = control<ui::Edit>("int-inexact");
    device->findOption("int-inexact")->setValueText("33");
    EXPECT_TRUE(device->findOption("int-inexact")->info & SANE_INFO_INEXACT);
    EXPECT_TRUE(reported("The value was modified by the scanner backend"));
    NumberOption& changed = number(*device, "int-inexact");
    EXPECT_NE(changed.values[0], 33);
    EXPECT_EQ(inexact.text(), std::to_string(static_cast<int>(changed.values[0])));

    driver.select(control<ui::ComboBox>("mode"), 1);
    driver.drag(control<TCustomTrackBar>("resolution"), {15000, 30000});
    driver.select(control<ui::ComboBox>("string-constraint-string-list"), 1);
    // The daemon holds what the controls sent.
    device->findOption("resolution")->refresh();
    EXPECT_EQ(number(*device, "resolution").values[0], 300);
    EXPECT_EQ(device->controlString(SANE_ACTION_GET_VALUE, *device->findOption("mode"), {}),
              "Color");
    EXPECT_EQ(device->controlString(SANE_ACTION_GET_VALUE,
                                    *device->findOption("string-constraint-string-list"), {}),
              "Second entry");
    EXPECT_EQ(unitLabel("resolution"), " 300 dpi");
    // Text forms: set through the text, then shown as the device adjusted it (steps of 2 from
    // the minimum -42.17).
    device->findOption("fixed-constraint-range")->setValueText("12.5");
    EXPECT_EQ(text("fixed-constraint-range"), "11.83");
    device->findOption("depth")->setValueText("16");
    EXPECT_EQ(number(*device, "depth").values[0], 16);
    EXPECT_FALSE(anyError());
}

TEST_F(OptionRows, AReloadGreysOrHidesWhatBecameInactive) {
    for (bool hide : {false, true}) {
        SCOPED_TRACE(hide ? "hidden" : "greyed");
        closeDevice();
        buildRows(hide);
        Option* size = device->findOption("read-limit-size");
        ASSERT_NE(size, nullptr);
        auto usable = [&] { return hide ? size->row()->visible() : size->control->enabled(); };
        EXPECT_FALSE(usable());
        driver.click(control<ui::CheckBox>("read-limit"));
        EXPECT_TRUE(size->isActive());
        EXPECT_TRUE(usable());
        device->findOption("read-limit")->setValueText("no");
        EXPECT_FALSE(size->isActive());
        EXPECT_FALSE(usable());
        if (!hide)
            EXPECT_EQ(size->captionLabel()->textColor(), ui::SystemColor::GrayText);
        else
            EXPECT_TRUE(size->control->enabled());  // hidden rows are not greyed as well
    }
}

class ProtectedDevice : public SanedTest {
  protected:
    ProtectedDevice() : SanedTest(true) {}
    void answer(const char* password) {
        driver.whenModal([this, password](ui::Form& f) {
            auto& auth = static_cast<TFAuth&>(f);
            driver.clear(auth.Username);
            driver.type(auth.Username, kSanedUser);
            driver.clear(auth.Password);
            driver.type(auth.Password, password);
            driver.click(auth.bOK);
        });
    }
    ui::headless::Driver driver;
};

TEST_F(ProtectedDevice, PromptsWithTheAuthenticationDialog) {
    {
        Device device(*connection_, Connection::deviceNamed("test:0"));
        answer(kSanedPassword);
        EXPECT_TRUE(device.open(nullptr));
        device.close();
    }
    // A wrong password: the dialog comes again with the texts typed, and Cancel ends the open.
    Device device(*connection_, Connection::deviceNamed("test:0"));
    answer("wrong");
    driver.whenModal([&](ui::Form& f) {
        EXPECT_EQ(static_cast<TFAuth&>(f).Password.text(), "wrong");
        driver.click(static_cast<TFAuth&>(f).bCancel);
    });
    reports.clear();
    EXPECT_FALSE(device.open(nullptr));
    EXPECT_EQ(driver.modalForms(), (std::vector<std::string>{"FAuth", "FAuth", "FAuth"}));
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back().message, "Access to resource has been denied");
}

}  // namespace
}  // namespace tarnwick::testing
