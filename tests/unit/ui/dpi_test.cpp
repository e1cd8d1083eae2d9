// Sizes laid out at 96 DPI taken to other DPIs, and the fixed text metrics at each.
#include <gtest/gtest.h>

#include <climits>

#include "ui/backend.h"
#include "ui/button.h"
#include "ui/dpi.h"
#include "ui/form.h"
#include "ui/headless/driver.h"

namespace {

TEST(Dpi, SizesRoundToTheNearestPixelAndStayWithinInt) {
    const struct {
        int px, from, to, expected;
    } cases[] = {
        {0, 96, 144, 0},
        {1, 96, 120, 1},  // 1.25
        {2, 96, 120, 3},  // 2.5: halves away from zero
        {-2, 96, 120, -3},
        {7, 96, 144, 11},
        {11, 144, 96, 7},
        {361, 96, 192, 722},
        {23, 96, 144, 35},
        {INT_MAX, 96, 480, INT_MAX},
        {INT_MIN, 96, 480, INT_MIN},
        {100, 0, 96, 200},       // a DPI of 0 counts as the least, 48
        {100, 96, 100000, 500},  // and a huge one as the most, 480
    };
    for (const auto& c : cases)
        EXPECT_EQ(ui::rescaled(c.px, c.from, c.to), c.expected)
            << c.px << " from " << c.from << " to " << c.to;
    for (int dpi : {96, 120, 144, 192})
        for (int px : {1, 5, 16, 90, 361})
            EXPECT_EQ(ui::unscaled(ui::scaled(px, dpi), dpi), px) << px << " at " << dpi;
}

TEST(Dpi, FixedMetricsAndFontsFollowTheWindowsDpi) {
    ui::headless::Driver driver;
    const struct {
        int dpi, charWidth, lineHeight;
    } cases[] = {{96, 6, 13}, {120, 8, 16}, {144, 9, 20}, {192, 12, 26}};
    for (const auto& c : cases) {
        driver.setDpi(c.dpi);
        ui::Form form;
        ui::Label& label = form.add<ui::Label>();
        label.setAutoSize(true);
        label.setText("ab");
        EXPECT_EQ(label.font().dpi, c.dpi);
        EXPECT_EQ(label.width(), 2 * c.charWidth) << c.dpi;
        EXPECT_EQ(label.height(), c.lineHeight) << c.dpi;
        EXPECT_EQ(form.add<ui::Button>().width(), ui::scaled(75, c.dpi));
    }
}

TEST(Dpi, AFormMovedToAnotherDpiScalesItsControlsAndMeasuresItsTextsAgain) {
    ui::headless::Driver driver;
    ui::Form form;
    form.setClientSize(300, 200);
    ui::Button& button = form.add<ui::Button>();
    button.setBounds(10, 20, 75, 25);
    ui::Label& label = form.add<ui::Label>();
    label.setAutoSize(true);
    label.setText("abc");
    int relaid = 0;
    form.onDpiChanged = [&] { ++relaid; };
    form.setDpi(144);
    EXPECT_EQ(form.dpi(), 144);
    EXPECT_EQ(form.clientWidth(), 450);
    EXPECT_EQ(button.bounds(), (ui::Rect{15, 30, 128, 68}));
    EXPECT_EQ(label.width(), 27);  // measured at 144, not 18 × 1.5
    EXPECT_EQ(relaid, 1);
    form.setDpi(144);
    EXPECT_EQ(relaid, 1) << "no change, no new layout";
    form.setDpi(96);
    EXPECT_EQ(button.bounds(), (ui::Rect{10, 20, 85, 45}));
}

}  // namespace
