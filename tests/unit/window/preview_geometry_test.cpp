#include "window/preview_geometry.h"

#include <gtest/gtest.h>

using namespace tarnwick;

TEST(PreviewGeometry, PlaceholderFollowsTheAreasShape) {
    const PlaceholderSize portrait = placeholderFor({0, 0, 216, 297});
    EXPECT_EQ(portrait.width, 363);
    EXPECT_EQ(portrait.height, 500);
    EXPECT_DOUBLE_EQ(portrait.scale, 216.0 / 363.0);
    const PlaceholderSize landscape = placeholderFor({0, 0, 300, 200});
    EXPECT_EQ(landscape.width, 353);
    EXPECT_EQ(landscape.height, 235);
    const PlaceholderSize empty = placeholderFor({0, 0, 0, 297});
    EXPECT_EQ(empty.width, 353);
    EXPECT_EQ(empty.height, 500);
    EXPECT_DOUBLE_EQ(empty.scale, 1.0);
    EXPECT_DOUBLE_EQ(previewScale({5, 0, 5, 10}, 100), 1.0);  // never 0
    EXPECT_DOUBLE_EQ(previewScale({0, 0, 100, 10}, 0), 1.0);
}

TEST(PreviewGeometry, ZoomModes) {
    EXPECT_DOUBLE_EQ(zoomFactorFor(ZoomMode::PageWidth, 0, 400, 300, 760, 1000), 0.5);
    EXPECT_DOUBLE_EQ(zoomFactorFor(ZoomMode::WholePage, 0, 400, 300, 200, 600), 0.5);
    EXPECT_DOUBLE_EQ(zoomFactorFor(ZoomMode::Percent, leadingNumber("75%"), 0, 0, 10, 10), 0.75);
    EXPECT_DOUBLE_EQ(zoomFactorFor(ZoomMode::Percent, leadingNumber("huge"), 0, 0, 10, 10), 0);
    EXPECT_DOUBLE_EQ(zoomFactorFor(ZoomMode::WholePage, 0, 400, 300, 0, 0), 1.0);
    EXPECT_EQ(leadingNumber(" 25 %"), 25);
    EXPECT_EQ(leadingNumber("99999999999999999999"), 1000000000L);
}

// A page 4 inches wide and 2 high in a client area of 400 by 300 pixels.
TEST(PreviewGeometry, TheResolutionThatFillsTheClientAreaAtEachZoom) {
    EXPECT_DOUBLE_EQ(fillingResolution(ZoomMode::WholePage, 0, 400, 300, 4, 2), 100);
    EXPECT_DOUBLE_EQ(fillingResolution(ZoomMode::PageWidth, 0, 400, 300, 4, 2), 95);
    EXPECT_DOUBLE_EQ(fillingResolution(ZoomMode::Percent, 50, 400, 300, 4, 2), 300);
    EXPECT_DOUBLE_EQ(fillingResolution(ZoomMode::Percent, 0, 400, 300, 4, 2), 0);
    EXPECT_DOUBLE_EQ(fillingResolution(ZoomMode::WholePage, 0, 0, 300, 4, 2), 0);
    EXPECT_DOUBLE_EQ(fillingResolution(ZoomMode::WholePage, 0, 400, 300, 0, 2), 0);
}

TEST(PreviewGeometry, ConversionsTruncateTowardZero) {
    EXPECT_EQ(screenToUnits(100, 0.6, 0.75), 80);
    EXPECT_EQ(unitsToScreen(80, 0.6, 0.75), 100);
    EXPECT_EQ(unitsToScreen(7, 2.0, 1.0), 3);
    EXPECT_EQ(screenToUnits(10, 1.0, 0), 0);
    // A region stored backwards covers the same pixels as its normalised form.
    EXPECT_EQ(regionOnScreen({50, 40, 10, 20}, 0.5, 1.0),
              regionOnScreen({10, 20, 50, 40}, 0.5, 1.0));
    EXPECT_EQ(regionOnScreen({10, 20, 50, 40}, 0.5, 1.0), (Region{20, 40, 100, 80}));
}
