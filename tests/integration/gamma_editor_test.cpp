// A gamma table of the real test backend, edited in the gamma editor opened from its row.
#include "gamma/gamma_form.h"
#include "integration/device_support.h"
#include "ui/button.h"
#include "ui/headless/driver.h"

namespace tarnwick::testing {
namespace {

class GammaEditing : public SanedTest, public ControlOwner {
  protected:
    TGammaForm& gammaEditor() override { return editor; }

    void SetUp() override {
        SanedTest::SetUp();
        form.setClientSize(600, 400);
        page.setAlign(ui::Align::Client);
        form.show();
        device = openDevice();
        ASSERT_TRUE(device);
        table = &number(*device, "gamma-table");
        // More entries than the editor loads as points: it starts from its own curve.
        ASSERT_GT(table->valueCount(), 256);
        ASSERT_NE(table->createControl(*this, page, false), nullptr);
        button = dynamic_cast<ui::Button*>(table->control);
        ASSERT_NE(button, nullptr);
    }
    void TearDown() override {
        if (device) device->close();
    }
    // The table as the daemon holds it, read on a copy of the option.
    std::vector<double> daemonTable() {
        NumberOption copy(table->index, table->name, table->title, table->description, table->unit,
                          table->size, table->capabilities, device.get());
        device->controlNumbers(SANE_ACTION_GET_VALUE, copy);
        return copy.values;
    }

    ui::headless::Driver driver;
    ui::Form form;
    ui::Panel& page = form.add<ui::Panel>();
    TGammaForm editor;
    std::unique_ptr<Device> device;
    NumberOption* table = nullptr;
    ui::Button* button = nullptr;
};

TEST_F(GammaEditing, DraggedCurveIsSentAndCancelKeepsTheTable) {
    const std::vector<double> before = daemonTable();
    EXPECT_TRUE(table->stale) << "a table is read when its editor opens, not with the window";
    // Cancel after reshaping: nothing changes on the daemon.
    driver.whenModal([&](ui::Form& f) {
        auto& gamma = static_cast<TGammaForm&>(f);
        driver.click(gamma.bStraight);
        driver.mouseDown(gamma.PaintBox, {0, 256});
        driver.mouseMove(gamma.PaintBox, {200, 256});
        driver.mouseUp(gamma.PaintBox, {200, 256});
        driver.click(gamma.bCancel);
    });
    driver.click(*button);
    EXPECT_EQ(editor.caption(), table->title);
    EXPECT_EQ(editor.LYRange.text(), "Y: [0,255]");
    EXPECT_EQ(daemonTable(), before);
    EXPECT_EQ(table->values, before);

    // The black point dragged along the bottom edge to 128, then OK.
    driver.whenModal([&](ui::Form& f) {
        auto& gamma = static_cast<TGammaForm&>(f);
        driver.click(gamma.bStraight);
        driver.mouseDown(gamma.PaintBox, {2, 254});
        for (int x : {40, 90, 128}) driver.mouseMove(gamma.PaintBox, {x, 256});
        driver.mouseUp(gamma.PaintBox, {128, 256});
        driver.click(gamma.bOK);
    });
    driver.click(*button);
    const std::vector<double> after = daemonTable();
    const int entries = table->valueCount();
    ASSERT_EQ(after.size(), static_cast<std::size_t>(entries));
    for (int a = 0; a < entries; ++a) {
        // Entry a lies at a × 256 / entries pixels; the line rises from (128, 0) to (256, 256).
        const double x = a * 256.0 / entries;
        const int expected = x < 128 ? 0 : static_cast<int>((x - 128) * 2 * 255.0 / 256.0);
        EXPECT_EQ(after[static_cast<std::size_t>(a)], expected) << a;
    }
    EXPECT_EQ(editor.LXRange.text(), "X: [0," + std::to_string(entries - 1) + "]");
    EXPECT_NE(after, before);
    EXPECT_EQ(table->values, after);
    EXPECT_FALSE(anyError());
}

}  // namespace
}  // namespace tarnwick::testing
