#include "gamma/gamma_curve.h"

#include <gtest/gtest.h>

#include "ui/headless/driver.h"

using namespace tarnwick;

namespace {

constexpr int H = GammaCurve::H;

std::vector<double> identityTable() {
    std::vector<double> values;
    for (int i = 0; i < 256; ++i) values.push_back(i);
    return values;
}

}  // namespace

TEST(GammaCurve, StraightLineFromCreationReadsBackAScaledIdentity) {
    GammaCurve curve;
    curve.configure(256, 0, 255);
    for (int a : {0, 1, 128, 255}) EXPECT_DOUBLE_EQ(curve.readValue(a), a * 255.0 / 256.0);
    EXPECT_EQ(curve.xRangeText(), "X: [0,255]");
    EXPECT_EQ(curve.yRangeText(), "Y: [0,255]");
    curve.configure(1024, -1.5, 2);
    EXPECT_EQ(curve.xRangeText(), "X: [0,1023]");
    EXPECT_EQ(curve.yRangeText(), "Y: [-1.5,2]");
}

TEST(GammaCurve, LoadedIdentityTableReadsBackThroughItsPoints) {
    for (CurveMode mode : {CurveMode::Straight, CurveMode::Line}) {
        GammaCurve curve;
        curve.selectMode(mode);
        curve.configure(256, 0, 255);
        curve.load(identityTable());
        ASSERT_EQ(curve.points().size(), 256u);
        EXPECT_EQ(curve.points()[100], (CurvePoint{100, 256 * 100 / 255}));
        for (int a = 0; a < 255; ++a)
            EXPECT_DOUBLE_EQ(curve.readValue(a), (256 * a / 255) * 255.0 / 256.0) << a;
        EXPECT_DOUBLE_EQ(curve.readValue(255), 255);
    }
}

TEST(GammaCurve, GammaTwoOnFourPointsSwitchesToSplineMode) {
    GammaCurve curve;
    curve.selectMode(CurveMode::Line);
    ASSERT_EQ(curve.points().size(), 4u);
    curve.applyGamma("2");
    EXPECT_EQ(curve.mode(), CurveMode::Spline);
    EXPECT_EQ(curve.points(), (std::vector<CurvePoint>{{0, 0}, {85, 147}, {170, 208}, {255, 255}}));
    curve.configure(256, 0, 255);
    // The spline passes through the points: entry 85 reads close to 147.
    EXPECT_NEAR(curve.readValue(85), 147 * 255.0 / 256.0, 0.6);
}

TEST(GammaCurve, TheSplineTableIsTheDrawnCurve) {
    GammaCurve curve;
    curve.selectMode(CurveMode::Line);
    curve.applyGamma("2");
    curve.configure(256, 0, 255);
    // Points spaced unevenly: the curve's x no longer grows evenly along it.
    curve.mouseDown(85, H - 147);
    curve.mouseMove(20, H - 200);
    ASSERT_EQ(curve.points()[1], (CurvePoint{20, 200}));
    EXPECT_NEAR(curve.readValue(20), 200 * 255.0 / 256.0, 1.0);
    // Beyond the steep start, where a drawn pixel's x is exact enough to compare.
    for (const CurvePoint& drawn : curve.curvePolyline()) {
        if (drawn.x < 40) continue;
        EXPECT_NEAR(curve.readValue(drawn.x), (H - drawn.y) * 255.0 / 256.0, 3.0) << drawn.x;
    }
}

TEST(GammaCurve, GammaTextsThatAreNoNumberOrNegative) {
    GammaCurve curve;
    curve.selectMode(CurveMode::Line);
    curve.applyGamma("abc");  // taken as 1: a straight diagonal
    EXPECT_EQ(curve.points()[1], (CurvePoint{85, 85}));
    curve.applyGamma("-3");  // taken as 0: nothing until the very end
    EXPECT_EQ(curve.points()[1], (CurvePoint{85, 0}));
    EXPECT_EQ(curve.points()[3].y, 0);
    curve.applyGamma("0.01");  // overflows single precision on the way; stays bounded
    for (const CurvePoint& p : curve.points()) EXPECT_GE(p.y, 0);
}

TEST(GammaCurve, GammaTypedWithAGermanDecimalComma) {
    struct German : ui::headless::Driver {
        ui::NumberLocale numberLocale() override { return {',', '.'}; }
    } german;
    GammaCurve curve;
    curve.selectMode(CurveMode::Line);
    curve.applyGamma("2,2");
    EXPECT_EQ(curve.points()[1], (CurvePoint{85, 155}));
    curve.applyGamma("2.2");  // a thousands separator that groups no three digits: gamma 1
    EXPECT_EQ(curve.points()[1], (CurvePoint{85, 85}));
    curve.applyGamma("1.000,5");  // grouped as the locale groups: a thousand and a half
    EXPECT_EQ(curve.points()[1], (CurvePoint{85, 255}));
}

TEST(GammaCurve, ClickingNearAPointGrabsItOtherwiseInserts) {
    GammaCurve curve;
    curve.selectMode(CurveMode::Line);
    const CurvePoint second = curve.points()[1];
    EXPECT_FALSE(curve.mouseDown(second.x + 4, H - second.y - 4));
    EXPECT_EQ(curve.dragIndex(), 1);
    EXPECT_EQ(curve.points().size(), 4u);
    curve.mouseUp();
    EXPECT_TRUE(curve.mouseDown(second.x + 5, H - second.y));
    EXPECT_EQ(curve.points().size(), 5u);
    EXPECT_EQ(curve.dragIndex(), 2);
    EXPECT_EQ(curve.points()[2], (CurvePoint{second.x + 5, second.y}));
}

TEST(GammaCurve, ADraggedPointStopsBesideItsNeighbours) {
    GammaCurve curve;
    curve.selectMode(CurveMode::Line);
    const auto pts = curve.points();
    curve.mouseDown(pts[1].x, H - pts[1].y);
    curve.mouseMove(pts[2].x + 30, 10);
    EXPECT_EQ(curve.points()[1], (CurvePoint{pts[2].x - 1, H - 10}));
    curve.mouseMove(-40, 300);  // clamped to the area, then kept right of the first point
    EXPECT_EQ(curve.points()[1], (CurvePoint{1, 0}));
}

TEST(GammaCurve, StraightModeEndsSlideAlongTheEdges) {
    GammaCurve curve;
    curve.configure(256, 0, 255);
    curve.mouseDown(0, H);  // the lower end point
    curve.mouseMove(64, H);
    EXPECT_EQ(curve.points()[0], (CurvePoint{64, 0}));
    EXPECT_EQ(curve.readValue(10), 0);  // left of the black point reads min
    curve.mouseUp();
    // A third point ends the straight line.
    curve.mouseDown(150, 100);
    EXPECT_EQ(curve.mode(), CurveMode::Line);
}

TEST(GammaCurve, SplineModeNeverShowsAStaleCurve) {
    GammaCurve curve;
    curve.configure(256, 0, 255);
    curve.selectMode(CurveMode::Line);
    for (int x = 1; x < 254; x += 2) curve.mouseDown(x, 20 + (x % 3) * 105), curve.mouseUp();
    ASSERT_GT(curve.points().size(), 100u);
    std::vector<double> asLine;
    for (int a = 0; a < 256; ++a) asLine.push_back(curve.readValue(a));
    curve.selectMode(CurveMode::Spline);
    // Too many points for a spline: the polyline the user sees is drawn and read.
    EXPECT_EQ(curve.curvePolyline().size(), curve.points().size());
    EXPECT_FALSE(curve.showsPointMarks());
    for (int a = 0; a < 256; ++a) EXPECT_DOUBLE_EQ(curve.readValue(a), asLine[a]);
}
