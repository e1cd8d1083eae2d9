#include "session/regions.h"

#include <gtest/gtest.h>

using namespace tarnwick;

namespace {

// One screen pixel per unit keeps the arithmetic of these tests readable.
constexpr double r = 1.0;

void drag(Regions& t, int x1, int y1, int x2, int y2, RegionCursor cursor = RegionCursor::Arrow) {
    t.pressLeft(x1, y1, r, cursor);
    t.dragTo(x2, y2, r, cursor);
    t.releaseLeft();
}

Bitmap greyPreview(int width, int height, std::uint8_t background) {
    Bitmap b;
    b.reset(BitmapKind::Bits8, width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) b.row(y)[x] = background;
    return b;
}

}  // namespace

TEST(Regions, AClickWithoutDragLeavesTheTableAsItWas) {
    Regions t;
    drag(t, 10, 10, 10, 10);
    EXPECT_EQ(t.regionCount, 0);
    EXPECT_EQ(t.regionIndex, -1);
    EXPECT_FALSE(t.creating);
}

TEST(Regions, DragsAreNormalisedAndClippedAtTheOrigin) {
    Regions t;
    drag(t, 50, 40, 20, 10);
    ASSERT_EQ(t.regionCount, 1);
    EXPECT_EQ(t.regions[0], (Region{20, 10, 50, 40}));
    drag(t, 30, 30, -8, -4);
    EXPECT_EQ(t.regions[1], (Region{0, 0, 30, 30}));
    EXPECT_TRUE(t.timerOn);
    EXPECT_EQ(t.sizeText(), "30 x 30");
}

TEST(Regions, ResizingToZeroWidthRemovesTheRegion) {
    Regions t;
    drag(t, 10, 10, 60, 60);
    drag(t, 100, 10, 150, 60);
    drag(t, 200, 10, 250, 60);
    bool edge = false;
    // On the right edge of region 0, halfway down.
    EXPECT_EQ(t.hover(60, 35, 1, 1, edge), RegionCursor::Horizontal);
    ASSERT_TRUE(edge);
    ASSERT_EQ(t.regionIndex, 0);
    t.pressLeft(60, 35, r, RegionCursor::Horizontal);
    EXPECT_FALSE(t.grabLeft);
    t.dragTo(10, 35, r, RegionCursor::Horizontal);
    t.releaseLeft();
    ASSERT_EQ(t.regionCount, 2);
    EXPECT_EQ(t.regions[0], (Region{100, 10, 150, 60}));
    EXPECT_EQ(t.regions[1], (Region{200, 10, 250, 60}));
}

TEST(Regions, NoMoreThanMaxRegions) {
    Regions t;
    for (int i = 0; i < 10; ++i) drag(t, 20 * i, 0, 20 * i + 10, 10);
    ASSERT_EQ(t.regionCount, 10);
    t.timerOn = true;
    EXPECT_FALSE(t.pressLeft(500, 500, r, RegionCursor::Arrow));
    EXPECT_EQ(t.regionCount, 10);
    EXPECT_TRUE(t.timerOn);
}

TEST(Regions, HoverPicksTheCursorByTheEdgesNear) {
    Regions t;
    drag(t, 100, 100, 200, 200);
    bool edge = false;
    EXPECT_EQ(t.hover(97, 102, 1, 1, edge), RegionCursor::FallingDiagonal);
    EXPECT_TRUE(edge);
    EXPECT_EQ(t.hover(203, 98, 1, 1, edge), RegionCursor::RisingDiagonal);
    EXPECT_EQ(t.hover(150, 198, 1, 1, edge), RegionCursor::Vertical);
    EXPECT_EQ(t.hover(95, 150, 1, 1, edge), RegionCursor::Arrow);  // five units away
    EXPECT_FALSE(edge);
    EXPECT_EQ(t.regionIndex, -1);
    EXPECT_EQ(t.hover(150, 150, 1, 1, edge), RegionCursor::Arrow);
    EXPECT_EQ(t.regionIndex, 0);  // inside, no edge
    // Units follow the zoom: at zoom 2 and scale 1, screen 196 is unit 98.
    EXPECT_EQ(t.hover(196, 300, 1, 2, edge), RegionCursor::Horizontal);
}

TEST(Regions, DeletingMovesLaterRegionsDownAndForgetsTheDefault) {
    Regions t;
    drag(t, 0, 0, 10, 10);
    drag(t, 20, 0, 30, 10);
    t.defaultRegion = 0;
    t.regionIndex = 1;
    t.deleteSelected();
    EXPECT_EQ(t.defaultRegion, 0);
    t.regionIndex = 0;
    t.deleteSelected();
    EXPECT_EQ(t.defaultRegion, -1);
    EXPECT_EQ(t.regionCount, 0);
    EXPECT_FALSE(t.timerOn);
}

TEST(Regions, SizePresetsAndFindFitMakeOneRegion) {
    Bitmap preview = greyPreview(100, 80, 250);
    for (int y = 20; y < 50; ++y)
        for (int x = 30; x < 70; ++x) preview.row(y)[x] = 20;
    const FitSource fit{preview, 2.0, {0, 0, 202, 162}, 10};
    Regions t;
    drag(t, 0, 0, 10, 10);
    drag(t, 20, 0, 30, 10);
    t.setSize("A5 landscape", fit);
    EXPECT_EQ(t.regionCount, 1);
    EXPECT_EQ(t.regionIndex, 0);
    EXPECT_EQ(t.regions[0], (Region{0, 0, 210, 148}));
    t.regions[0] = {5, 6, 70, 80};
    t.setSize("Tabloid", fit);
    EXPECT_EQ(t.regions[0], (Region{0, 0, 70, 80}));
    t.setSize("Legal", fit);
    EXPECT_EQ(t.regions[0], (Region{0, 0, 215, 355}));
    t.timerOn = false;
    t.setSize("Find fit", fit);
    EXPECT_EQ(t.regionCount, 1);
    EXPECT_EQ(t.regions[0], (Region{60, 40, 138, 98}));
    EXPECT_TRUE(t.timerOn);
}

TEST(FindFit, FindsTheDarkDocumentOnAWhiteBorder) {
    Bitmap preview = greyPreview(100, 80, 250);
    for (int y = 20; y < 50; ++y)
        for (int x = 30; x < 70; ++x) preview.row(y)[x] = 20;
    // A speck of fewer dark pixels than the threshold is not the document.
    for (int x = 5; x < 10; ++x) preview.row(70)[x] = 20;
    const Region fit = findFit(preview, 2.0, {0, 0, 202, 162}, 10);
    EXPECT_EQ(fit, (Region{60, 40, 138, 98}));
}

TEST(FindFit, DarkBackgroundAndEmptyPreview) {
    Bitmap preview = greyPreview(40, 40, 5);
    for (int y = 10; y < 30; ++y)
        for (int x = 12; x < 36; ++x) preview.row(y)[x] = 200;
    EXPECT_EQ(findFit(preview, 1.0, {0, 0, 41, 41}, 10), (Region{12, 10, 35, 29}));
    // Nothing passes: the rectangle is inverted (x1 > x2).
    const Bitmap blank = greyPreview(40, 40, 128);
    EXPECT_EQ(findFit(blank, 1.0, {0, 0, 41, 41}, 10), (Region{40, 40, 0, 0}));
}

TEST(FindFit, OneBitPreviewsAreReadByTheByte) {
    Bitmap preview;
    preview.reset(BitmapKind::Bits1, 64, 8);
    for (int y = 0; y < 8; ++y)
        for (int b = 0; b < 8; ++b) preview.row(y)[b] = 0xFF;  // white
    for (int y = 2; y < 5; ++y)
        for (int b = 2; b < 6; ++b) preview.row(y)[b] = 0x0F;
    // 65 units wide at scale 1: 64 columns, 8 bytes per row; the threshold 4 becomes 1, and the
    // byte positions 2 and 5 become the pixel columns 16 and 40.
    EXPECT_EQ(findFit(preview, 1.0, {0, 0, 65, 9}, 4), (Region{16, 2, 40, 4}));
}

TEST(FindFit, AScanAreaLargerThanThePreviewIsNotReadPastIt) {
    const Bitmap small = greyPreview(10, 10, 255);
    EXPECT_EQ(findFit(small, 1.0, {0, 0, 5000, 5000}, 10), (Region{10, 10, 0, 0}));
    Bitmap none;
    EXPECT_EQ(findFit(none, 1.0, {0, 0, 50, 50}, 10), (Region{0, 0, 0, 0}));
}
