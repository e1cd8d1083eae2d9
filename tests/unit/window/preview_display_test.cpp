// The preview on the headless toolkit: placeholder, zoom and the painted outlines.
#include <gtest/gtest.h>

#include "window/preview_geometry.h"
#include "window_fixture.h"

namespace tarnwick::testing {
namespace {

class PreviewDisplay : public WindowTest {
  protected:
    void SetUp() override { create(); }
    TFPreview& w() { return *window; }

    std::vector<ui::CanvasOp> ops(ui::CanvasOpKind kind) {
        std::vector<ui::CanvasOp> found;
        for (const ui::CanvasOp& op : control<ui::PaintBox>(w(), "PaintBox").canvas().record())
            if (op.kind == kind) found.push_back(op);
        return found;
    }
};

TEST_F(PreviewDisplay, PlaceholderFollowsTheScanArea) {
    w().session().setWholeArea(Region{0, 0, 216, 297});
    w().showPlaceholder();
    EXPECT_EQ(w().previewBitmap.width(), 363);
    EXPECT_EQ(w().previewBitmap.height(), 500);
    EXPECT_DOUBLE_EQ(w().unitsPerPreviewPixel(), 216.0 / 363.0);
    // The whole placeholder shows, below tool bars of their full width.
    EXPECT_EQ(control<ui::ScrollBox>(w(), "ImageScrollBox").clientRect().width(), 363);
    EXPECT_EQ(control<ui::ScrollBox>(w(), "ImageScrollBox").clientRect().height(), 500);
    EXPECT_GE(w().clientWidth(), control<ui::ToolBar>(w(), "TZoom").contentWidth());
    const int width = w().clientWidth();
    EXPECT_EQ(control<ui::ComboBox>(w(), "Zoom").text(), "Whole page");
    // An empty page, white.
    EXPECT_EQ(w().previewBitmap.row(250)[3 * 100], 255);

    // A window whose size was saved keeps it.
    writeSettings("[General]\nWindowSize=" + std::to_string(w().left()) + ";" +
                  std::to_string(w().top()) + ";" + std::to_string(w().width()) + ";" +
                  std::to_string(w().height()) + "\n");
    create();
    w().session().setWholeArea(Region{0, 0, 300, 200});
    w().showPlaceholder();
    EXPECT_EQ(w().previewBitmap.width(), 353);
    EXPECT_EQ(w().previewBitmap.height(), 235);
    EXPECT_EQ(w().clientWidth(), width) << "a restored size stays";

    w().session().setWholeArea(Region{});
    w().showPlaceholder();
    EXPECT_EQ(w().previewBitmap.width(), 353);
    EXPECT_EQ(w().previewBitmap.height(), 500);
    EXPECT_DOUBLE_EQ(w().unitsPerPreviewPixel(), 1.0);
}

TEST_F(PreviewDisplay, ZoomTexts) {
    w().previewBitmap.reset(BitmapKind::Bits24, 760, 400);
    control<ui::ScrollBox>(w(), "ImageScrollBox").setAlign(ui::Align::None);
    control<ui::ScrollBox>(w(), "ImageScrollBox").setBounds(0, 0, 400, 300);
    control<ui::ComboBox>(w(), "Zoom").setComboText("Page width");
    w().ZoomChange();
    EXPECT_DOUBLE_EQ(w().zoomFactor(), 0.5);
    EXPECT_EQ(control<ui::PaintBox>(w(), "PaintBox").width(), 380);
    EXPECT_EQ(control<ui::PaintBox>(w(), "PaintBox").height(), 200);

    control<ui::ComboBox>(w(), "Zoom").setComboText("75%");
    w().ZoomChange();
    EXPECT_DOUBLE_EQ(w().zoomFactor(), 0.75);
    EXPECT_EQ(control<ui::PaintBox>(w(), "PaintBox").width(), 570);

    control<ui::ComboBox>(w(), "Zoom").setComboText("Whole page");
    w().ZoomChange();
    EXPECT_DOUBLE_EQ(w().zoomFactor(), 400.0 / 760.0);  // the width limits it

    control<ui::ComboBox>(w(), "Zoom").setComboText("huge");
    w().ZoomChange();
    EXPECT_DOUBLE_EQ(w().zoomFactor(), 0);
    EXPECT_EQ(control<ui::PaintBox>(w(), "PaintBox").width(), 0);
    EXPECT_EQ(control<ui::PaintBox>(w(), "PaintBox").height(), 0);

    // A zoom typed far beyond the screen is held to a bounded picture.
    control<ui::ComboBox>(w(), "Zoom").setComboText("100000%");
    w().ZoomChange();
    EXPECT_LE(static_cast<double>(control<ui::PaintBox>(w(), "PaintBox").width()) *
                  control<ui::PaintBox>(w(), "PaintBox").height(),
              1 << 25);
    EXPECT_GT(w().zoomFactor(), 1.0);
    // And no side beyond what a surface holds.
    w().previewBitmap.reset(BitmapKind::Bits24, 40, 2000);
    w().ZoomChange();
    EXPECT_LE(control<ui::PaintBox>(w(), "PaintBox").height(), ui::Surface::kMaxSide);
    EXPECT_EQ(control<ui::PaintBox>(w(), "PaintBox").surface().height(),
              control<ui::PaintBox>(w(), "PaintBox").height());

    w().previewBitmap.reset(BitmapKind::Bits24, 0, 0);
    w().ZoomChange();
    EXPECT_DOUBLE_EQ(w().zoomFactor(), 1.0);
}

// A large preview (a preview scan for 25% of a large window) is shown at every zoom of the list
// as the list says, and a zoom typed beyond the list as typed while it is not absurd.
TEST_F(PreviewDisplay, TheZoomsOfTheListAreWholeOnALargePreview) {
    w().previewBitmap.reset(BitmapKind::Bits24, 5000, 4000);
    ui::ComboBox& zoom = control<ui::ComboBox>(w(), "Zoom");
    const ui::PaintBox& box = control<ui::PaintBox>(w(), "PaintBox");
    for (const std::string& entry : zoom.items()) {
        const long percent = leadingNumber(entry);
        if (percent <= 0) continue;
        zoom.setComboText(entry);
        w().ZoomChange();
        EXPECT_DOUBLE_EQ(w().zoomFactor(), percent / 100.0) << entry;
        EXPECT_EQ(box.width(), 50 * percent) << entry;
        EXPECT_EQ(box.height(), 40 * percent) << entry;
    }
    EXPECT_EQ(zoom.text(), "100%");
    EXPECT_EQ(box.surface().width(), 5000);
    // A preview of the window's size at 1000%.
    w().previewBitmap.reset(BitmapKind::Bits24, 400, 560);
    zoom.setComboText("1000%");
    w().ZoomChange();
    EXPECT_DOUBLE_EQ(w().zoomFactor(), 10.0);
    EXPECT_EQ(box.width(), 4000);
    EXPECT_EQ(box.height(), 5600);
}

TEST_F(PreviewDisplay, RegionsAreFilledAndOutlinedWithCrawlingDashes) {
    w().previewBitmap.reset(BitmapKind::Bits24, 200, 200);
    control<ui::ScrollBox>(w(), "ImageScrollBox").setBounds(0, 0, 200, 200);
    control<ui::ComboBox>(w(), "Zoom").setComboText("100%");
    w().setUnitsPerPreviewPixel(0.5);  // two pixels per unit
    w().session().regions.regions[0] = {10, 20, 40, 60};
    w().session().regions.regions[1] = {90, 80, 60, 50};  // stored backwards
    w().session().regions.regionCount = 2;
    // The dashes crawl through ten phases; after the last comes the first.
    for (int tick = 0; tick < 10; ++tick) {
        w().TimerTimer();
        if (ops(ui::CanvasOpKind::Outline).at(0).pen.dashOffset == 9) break;
    }
    ASSERT_EQ(ops(ui::CanvasOpKind::Outline).at(0).pen.dashOffset, 9);
    w().TimerTimer();
    const auto fills = ops(ui::CanvasOpKind::FillRect);
    const auto outlines = ops(ui::CanvasOpKind::Outline);
    ASSERT_EQ(fills.size(), 2u);
    ASSERT_EQ(outlines.size(), 2u);
    EXPECT_EQ(fills[0].rect, (ui::Rect{20, 40, 80, 120}));
    EXPECT_EQ(fills[0].color, ui::argb(15, 255, 0, 0));
    EXPECT_EQ(fills[1].rect, (ui::Rect{120, 100, 180, 160}));
    EXPECT_EQ(outlines[1].rect, fills[1].rect);
    EXPECT_EQ(outlines[0].pen.color, ui::argb(255, 0, 0, 0));
    EXPECT_EQ(outlines[0].pen.width, 1);
    EXPECT_EQ(outlines[0].pen.dashes, (std::vector<float>{5, 5}));
    EXPECT_EQ(outlines[0].pen.dashOffset, 0);
    // The preview goes first, and each paint starts a fresh record.
    EXPECT_EQ(control<ui::PaintBox>(w(), "PaintBox").canvas().record().front().kind,
              ui::CanvasOpKind::Blit);
    w().TimerTimer();
    EXPECT_EQ(ops(ui::CanvasOpKind::Outline).size(), 2u);
    EXPECT_EQ(ops(ui::CanvasOpKind::Outline)[0].pen.dashOffset, 1);

    w().session().regions.regionCount = 0;
    w().paintPreview();
    EXPECT_TRUE(ops(ui::CanvasOpKind::FillRect).empty());
}

}  // namespace
}  // namespace tarnwick::testing
