// The preview on the headless toolkit: placeholder, zoom and the painted outlines.
#include <gtest/gtest.h>

#include "window_fixture.h"

namespace tarnwick::testing {
namespace {

class PreviewDisplay : public WindowTest {
  protected:
    void SetUp() override { create(); }
    TFPreview& w() { return *window; }

    std::vector<ui::CanvasOp> ops(ui::CanvasOpKind kind) {
        std::vector<ui::CanvasOp> found;
        for (const ui::CanvasOp& op : probe(w()).PaintBox.canvas().record())
            if (op.kind == kind) found.push_back(op);
        return found;
    }
};

TEST_F(PreviewDisplay, PlaceholderFollowsTheScanArea) {
    w().scanArea = {0, 0, 216, 297};
    w().showPlaceholder();
    EXPECT_EQ(w().previewBitmap.width(), 363);
    EXPECT_EQ(w().previewBitmap.height(), 500);
    EXPECT_DOUBLE_EQ(probe(w()).scale, 216.0 / 363.0);
    // The whole placeholder shows, below tool bars of their full width.
    EXPECT_EQ(probe(w()).ImageScrollBox.clientRect().width(), 363);
    EXPECT_EQ(probe(w()).ImageScrollBox.clientRect().height(), 500);
    EXPECT_GE(w().clientWidth(), probe(w()).TZoom.contentWidth());
    const int width = w().clientWidth();
    EXPECT_EQ(probe(w()).Zoom.text(), "Whole page");
    // An empty page, white.
    EXPECT_EQ(w().previewBitmap.row(250)[3 * 100], 255);

    w().scanArea = {0, 0, 300, 200};
    probe(w()).windowSizeRestored = true;
    w().showPlaceholder();
    EXPECT_EQ(w().previewBitmap.width(), 353);
    EXPECT_EQ(w().previewBitmap.height(), 235);
    EXPECT_EQ(w().clientWidth(), width) << "a restored size stays";

    w().scanArea = {};
    w().showPlaceholder();
    EXPECT_EQ(w().previewBitmap.width(), 353);
    EXPECT_EQ(w().previewBitmap.height(), 500);
    EXPECT_DOUBLE_EQ(probe(w()).scale, 1.0);
}

TEST_F(PreviewDisplay, ZoomTexts) {
    w().previewBitmap.reset(BitmapKind::Bits24, 760, 400);
    probe(w()).ImageScrollBox.setAlign(ui::Align::None);
    probe(w()).ImageScrollBox.setBounds(0, 0, 400, 300);
    probe(w()).Zoom.setComboText("Page width");
    w().ZoomChange();
    EXPECT_DOUBLE_EQ(probe(w()).zoomFactor, 0.5);
    EXPECT_EQ(probe(w()).PaintBox.width(), 380);
    EXPECT_EQ(probe(w()).PaintBox.height(), 200);
    EXPECT_EQ(probe(w()).displayBitmap.width(), 380);

    probe(w()).Zoom.setComboText("75%");
    w().ZoomChange();
    EXPECT_DOUBLE_EQ(probe(w()).zoomFactor, 0.75);
    EXPECT_EQ(probe(w()).PaintBox.width(), 570);

    probe(w()).Zoom.setComboText("Whole page");
    w().ZoomChange();
    EXPECT_DOUBLE_EQ(probe(w()).zoomFactor, 400.0 / 760.0);  // the width limits it

    probe(w()).Zoom.setComboText("huge");
    w().ZoomChange();
    EXPECT_DOUBLE_EQ(probe(w()).zoomFactor, 0);
    EXPECT_EQ(probe(w()).PaintBox.width(), 0);
    EXPECT_EQ(probe(w()).PaintBox.height(), 0);

    // A zoom typed far beyond the screen is held to a bounded picture.
    probe(w()).Zoom.setComboText("100000%");
    w().ZoomChange();
    EXPECT_LE(static_cast<double>(probe(w()).PaintBox.width()) * probe(w()).PaintBox.height(),
              1 << 24);
    EXPECT_GT(probe(w()).zoomFactor, 1.0);

    w().previewBitmap.reset(BitmapKind::Bits24, 0, 0);
    w().ZoomChange();
    EXPECT_DOUBLE_EQ(probe(w()).zoomFactor, 1.0);
}

TEST_F(PreviewDisplay, RegionsAreFilledAndOutlinedWithCrawlingDashes) {
    w().previewBitmap.reset(BitmapKind::Bits24, 200, 200);
    probe(w()).ImageScrollBox.setBounds(0, 0, 200, 200);
    probe(w()).Zoom.setComboText("100%");
    probe(w()).scale = 0.5;  // two pixels per unit
    w().regions.regions[0] = {10, 20, 40, 60};
    w().regions.regions[1] = {90, 80, 60, 50};  // stored backwards
    w().regions.regionCount = 2;
    TFPreviewProbe::dashOffset = 9;
    w().TimerTimer();
    EXPECT_EQ(TFPreviewProbe::dashOffset, 0);
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
    EXPECT_EQ(probe(w()).PaintBox.canvas().record().front().kind, ui::CanvasOpKind::Blit);
    w().TimerTimer();
    EXPECT_EQ(ops(ui::CanvasOpKind::Outline).size(), 2u);
    EXPECT_EQ(ops(ui::CanvasOpKind::Outline)[0].pen.dashOffset, 1);

    w().regions.regionCount = 0;
    w().paintPreview();
    EXPECT_TRUE(ops(ui::CanvasOpKind::FillRect).empty());
}

}  // namespace
}  // namespace tarnwick::testing
