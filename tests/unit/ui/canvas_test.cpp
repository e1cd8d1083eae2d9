#include <gtest/gtest.h>

#include "ui/canvas.h"
#include "ui/paint_box.h"

namespace {

using ui::rgb;

TEST(Canvas, RecordsEveryOperationInOrder) {
    ui::Surface s(20, 20);
    ui::Canvas c(s);
    ui::Surface src(4, 3, rgb(1, 2, 3));
    c.blit(src.view(), 2, 2);
    c.fillRect({0, 0, 5, 5}, ui::argb(15, 255, 0, 0));
    c.outline({1, 1, 9, 9}, {rgb(0, 0, 0), 1, {5, 5}, 3});
    c.invertOutline({0, 0, 4, 4}, 2);
    c.line({0, 0}, {3, 3}, rgb(0, 0, 255));
    ASSERT_EQ(c.record().size(), 5u);
    EXPECT_EQ(c.record()[0].kind, ui::CanvasOpKind::Blit);
    EXPECT_EQ(c.record()[0].rect, (ui::Rect{2, 2, 6, 5}));
    EXPECT_EQ(c.record()[1].color, ui::argb(15, 255, 0, 0));
    EXPECT_EQ(c.record()[2].pen.dashOffset, 3);
    EXPECT_EQ(c.record()[3].pen.width, 2);
    EXPECT_EQ(c.record()[4].kind, ui::CanvasOpKind::Line);
}

TEST(Canvas, FillBlendsByAlpha) {
    ui::Surface s(2, 2, rgb(255, 255, 255));
    ui::Canvas c(s);
    c.fillRect({0, 0, 1, 1}, ui::argb(15, 255, 0, 0));
    // 15/255 of red over white.
    EXPECT_EQ(s.pixel(0, 0), rgb(255, 240, 240));
    EXPECT_EQ(s.pixel(1, 1), rgb(255, 255, 255));
    c.fillRect({-5, -5, 50, 50}, rgb(0, 0, 0));  // clipped, not out of bounds
    EXPECT_EQ(s.pixel(1, 1), rgb(0, 0, 0));
}

TEST(Canvas, DashesRunAlongTheOutlineAndShiftWithTheOffset) {
    auto topRow = [](float offset) {
        ui::Surface s(30, 5, rgb(255, 255, 255));
        ui::Canvas c(s);
        c.outline({0, 0, 30, 5}, {rgb(0, 0, 0), 1, {5, 5}, offset});
        std::string row;
        for (int x = 0; x < 12; ++x) row += s.pixel(x, 0) == rgb(0, 0, 0) ? '#' : '.';
        return row;
    };
    EXPECT_EQ(topRow(0), "#####.....##");
    EXPECT_EQ(topRow(1), "####.....###");
    EXPECT_EQ(topRow(10), topRow(0));
}

TEST(Canvas, InvertingTwiceRestoresThePicture) {
    ui::Surface s(10, 10, rgb(10, 20, 30));
    ui::Canvas c(s);
    c.invertOutline({7, 8, 1, 2}, 2);  // corners in any order
    EXPECT_EQ(s.pixel(1, 2), rgb(245, 235, 225));
    EXPECT_EQ(s.pixel(4, 5), rgb(10, 20, 30));  // inside the pen width stays
    c.invertOutline({1, 2, 7, 8}, 2);
    EXPECT_EQ(s.pixel(1, 2), rgb(10, 20, 30));
}

TEST(Canvas, LinesIncludeBothEnds) {
    ui::Surface s(10, 10);
    ui::Canvas c(s);
    c.line({1, 1}, {8, 4}, rgb(0, 0, 255));
    EXPECT_EQ(s.pixel(1, 1), rgb(0, 0, 255));
    EXPECT_EQ(s.pixel(8, 4), rgb(0, 0, 255));
    c.line({-100000, 5}, {100000, 5}, rgb(1, 1, 1));  // far outside: drawn where visible
    EXPECT_EQ(s.pixel(0, 5), rgb(1, 1, 1));
}

TEST(Canvas, BlitsPalettedAndTrueColourRows) {
    const std::uint8_t grey[4] = {0, 128, 255, 0};
    const ui::Color palette[3] = {rgb(0, 0, 0), rgb(128, 128, 128), rgb(255, 255, 255)};
    ui::Surface s(4, 2, rgb(9, 9, 9));
    ui::Canvas c(s);
    c.blit({3, 1, 8, 4, grey, nullptr, 0}, 0, 0);
    EXPECT_EQ(s.pixel(1, 0), rgb(128, 128, 128));
    const std::uint8_t bgr[4] = {1, 2, 3, 0};
    c.blit({1, 1, 24, 4, bgr, nullptr, 0}, 3, 1);
    EXPECT_EQ(s.pixel(3, 1), rgb(3, 2, 1));
    const std::uint8_t bits[4] = {0x80, 0, 0, 0};
    c.blit({2, 1, 1, 4, bits, palette, 3}, 0, 1);
    EXPECT_EQ(s.pixel(0, 1), rgb(128, 128, 128));
    EXPECT_EQ(s.pixel(1, 1), rgb(0, 0, 0));
}

TEST(Canvas, StretchCoversTheWholeTarget) {
    ui::Surface src(2, 1);
    src.setPixel(0, 0, rgb(255, 0, 0));
    src.setPixel(1, 0, rgb(0, 255, 0));
    ui::Surface s(4, 2);
    ui::Canvas c(s);
    c.stretchBlit(src.view(), {0, 0, 4, 2});
    EXPECT_EQ(s.pixel(1, 1), rgb(255, 0, 0));
    EXPECT_EQ(s.pixel(2, 0), rgb(0, 255, 0));
    c.stretchBlit(src.view(), {0, 0, 0, 0});  // an empty target draws nothing
}

TEST(PaintBox, PaintsOntoASurfaceOfItsSize) {
    ui::Panel* none = nullptr;
    ui::PaintBox box(none);
    box.setBounds(0, 0, 16, 8);
    int paints = 0;
    box.onPaint = [&](ui::Canvas& c) {
        ++paints;
        c.fillRect({0, 0, 16, 8}, rgb(255, 0, 0));
    };
    box.repaint();
    EXPECT_EQ(paints, 1);
    EXPECT_EQ(box.surface().width(), 16);
    EXPECT_EQ(box.surface().pixel(15, 7), rgb(255, 0, 0));
    EXPECT_EQ(box.canvas().record().size(), 1u);
}

}  // namespace
