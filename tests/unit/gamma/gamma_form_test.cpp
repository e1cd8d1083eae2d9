#include "gamma/gamma_form.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "ui/headless/driver.h"

using namespace tarnwick;

namespace {

constexpr int H = TGammaForm::H;

struct GammaForm : testing::Test {
    ui::headless::Driver driver;
    TGammaForm form;
    void SetUp() override { form.show(); }

    std::vector<ui::CanvasOp> ops(ui::CanvasOpKind kind, ui::Color color) {
        std::vector<ui::CanvasOp> found;
        for (const ui::CanvasOp& op : form.PaintBox.canvas().record())
            if (op.kind == kind && (op.color == color || op.pen.color == color))
                found.push_back(op);
        return found;
    }
    void repaint() {
        form.PaintBox.canvas().clearRecord();
        form.PaintBox.repaint();
    }
};

TEST_F(GammaForm, StartsAsTheStraightLineOverTheWholeArea) {
    EXPECT_EQ(form.clientWidth(), 256);
    EXPECT_EQ(form.clientHeight(), 317);
    EXPECT_EQ(form.PaintBox.width(), 256);
    EXPECT_EQ(form.PaintBox.height(), 256);
    EXPECT_TRUE(form.bStraight.down());
    EXPECT_FALSE(form.bSpline.down() || form.bLine.down());
    EXPECT_EQ(form.LXRange.text(), "X: [0,255]");
    EXPECT_EQ(form.LYRange.text(), "Y: [0,255]");
    for (int a : {0, 100, 255}) EXPECT_DOUBLE_EQ(form.readValue(a), a * 255.0 / 256.0);
    form.configure(1024, 0, 65535);
    EXPECT_EQ(form.LXRange.text(), "X: [0,1023]");
    EXPECT_EQ(form.LYRange.text(), "Y: [0,65535]");
}

TEST_F(GammaForm, PaintsGridCurveAndPointSquares) {
    repaint();
    const auto& record = form.PaintBox.canvas().record();
    ASSERT_FALSE(record.empty());
    EXPECT_EQ(record.front().kind, ui::CanvasOpKind::FillRect);
    EXPECT_EQ(record.front().rect, (ui::Rect{0, 0, 256, 256}));
    auto grid = ops(ui::CanvasOpKind::Line, ui::rgb(192, 192, 192));
    ASSERT_EQ(grid.size(), 6u);
    EXPECT_EQ(grid[0].rect, (ui::Rect{64, 0, 64, 256}));
    EXPECT_EQ(grid[5].rect, (ui::Rect{0, 192, 256, 192}));
    auto curve = ops(ui::CanvasOpKind::Line, ui::rgb(0, 0, 255));
    ASSERT_EQ(curve.size(), 1u);
    EXPECT_EQ(curve[0].rect, (ui::Rect{0, 256, 256, 0}));  // screen y runs downwards
    auto squares = ops(ui::CanvasOpKind::FillRect, ui::rgb(255, 0, 0));
    ASSERT_EQ(squares.size(), 2u);
    EXPECT_EQ(squares[0].rect, (ui::Rect{-4, 252, 4, 260}));

    driver.click(form.bSpline);
    repaint();
    EXPECT_EQ(ops(ui::CanvasOpKind::Line, ui::rgb(0, 0, 255)).size(), 255u);
    EXPECT_EQ(ops(ui::CanvasOpKind::FillRect, ui::rgb(255, 0, 0)).size(), 4u);
}

TEST_F(GammaForm, ModeButtonsAreOneGroup) {
    driver.click(form.bLine);
    EXPECT_TRUE(form.bLine.down());
    EXPECT_FALSE(form.bStraight.down());
    EXPECT_EQ(form.curve().points().size(), 4u);
    driver.click(form.bSpline);
    EXPECT_EQ(form.curve().mode(), CurveMode::Spline);
    EXPECT_EQ(form.curve().points().size(), 4u);  // more than two points stay
    driver.click(form.bStraight);
    EXPECT_EQ(form.curve().points(), (std::vector<CurvePoint>{{0, 0}, {256, 256}}));
}

TEST_F(GammaForm, GammaValueAsksAndSwitchesToSpline) {
    driver.click(form.bLine);
    driver.answerInput(std::nullopt);
    driver.click(form.bGamma);
    EXPECT_TRUE(form.bLine.down());  // not confirmed: nothing changes
    ASSERT_EQ(driver.inputs().size(), 1u);
    EXPECT_EQ(driver.inputs()[0].caption, "Gamma");
    EXPECT_EQ(driver.inputs()[0].prompt, "Gamma value");
    EXPECT_EQ(driver.inputs()[0].preset, "1.0");
    driver.answerInput("2");
    driver.click(form.bGamma);
    EXPECT_EQ(form.curve().points(),
              (std::vector<CurvePoint>{{0, 0}, {85, 147}, {170, 208}, {255, 255}}));
    EXPECT_TRUE(form.bSpline.down());
    EXPECT_FALSE(form.bLine.down() || form.bGamma.down());
}

TEST_F(GammaForm, MouseOnTheAreaGrabsInsertsAndDrags) {
    driver.mouseMove(form.PaintBox, {3, H - 3});
    EXPECT_EQ(form.cursor(), ui::Cursor::Cross);  // over the lower end point
    driver.mouseMove(form.PaintBox, {100, 100});
    EXPECT_EQ(form.cursor(), ui::Cursor::Default);
    // A click away from the points adds one and ends the straight line.
    driver.mouseDown(form.PaintBox, {128, 64});
    driver.mouseMove(form.PaintBox, {300, 70});  // past the right neighbour at 256
    driver.mouseUp(form.PaintBox, {300, 70});
    EXPECT_TRUE(form.bLine.down());
    EXPECT_EQ(form.curve().points(), (std::vector<CurvePoint>{{0, 0}, {255, H - 70}, {256, 256}}));
    // Within four pixels the point is grabbed, not doubled.
    const int painted = form.PaintBox.paintCount();
    driver.mouseDown(form.PaintBox, {251, 74});
    EXPECT_EQ(form.curve().points().size(), 3u);
    EXPECT_EQ(form.PaintBox.paintCount(), painted);
    driver.mouseMove(form.PaintBox, {200, 128});
    driver.mouseUp(form.PaintBox, {200, 128});
    EXPECT_EQ(form.curve().points()[1], (CurvePoint{200, 128}));
    EXPECT_GT(form.PaintBox.paintCount(), painted);
    driver.mouseMove(form.PaintBox, {10, 10});  // released: moves change nothing
    EXPECT_EQ(form.curve().points()[1], (CurvePoint{200, 128}));
}

TEST_F(GammaForm, OkAndCancelEndTheModalForm) {
    driver.whenModal([&](ui::Form& f) { driver.click(static_cast<TGammaForm&>(f).bOK); });
    EXPECT_EQ(form.showModal(), ui::ModalResult::Ok);
    driver.whenModal([&](ui::Form& f) { driver.click(static_cast<TGammaForm&>(f).bCancel); });
    EXPECT_EQ(form.showModal(), ui::ModalResult::Cancel);
}

}  // namespace
