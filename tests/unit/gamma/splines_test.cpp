#include "gamma/splines.h"

#include <gtest/gtest.h>

#include "ui/headless/driver.h"

using namespace tarnwick;

namespace {

TBSpline curveThrough(std::initializer_list<TVertex> vertices) {
    TBSpline curve;
    for (const TVertex& v : vertices) curve.AddVertex(v);
    curve.Interpolate();
    return curve;
}

}  // namespace

TEST(BSpline, InterpolatedCurvePassesThroughEveryVertex) {
    const TBSpline curve = curveThrough({{0, 0, 0}, {128, 64, 0}, {256, 256, 0}});
    EXPECT_TRUE(curve.interpolated());
    const float tolerance = 1e-3f;
    EXPECT_NEAR(curve.Value(0).x, 0, tolerance);
    EXPECT_NEAR(curve.Value(0).y, 0, tolerance);
    EXPECT_NEAR(curve.Value(0.5).x, 128, tolerance);
    EXPECT_NEAR(curve.Value(0.5).y, 64, tolerance);
    EXPECT_NEAR(curve.Value(1).x, 256, tolerance);
    EXPECT_NEAR(curve.Value(1).y, 256, tolerance);
    // The phantom points continue the end segments straight on.
    EXPECT_FLOAT_EQ(curve.point(0).x, 2 * curve.point(1).x - curve.point(2).x);
    EXPECT_FLOAT_EQ(curve.point(4).y, 2 * curve.point(3).y - curve.point(2).y);
}

TEST(BSpline, TwoVerticesMakeAStraightSegment) {
    const TBSpline curve = curveThrough({{0, 0, 0}, {256, 256, 0}});
    EXPECT_FALSE(curve.interpolated());
    EXPECT_NEAR(curve.Value(0.25).x, 64, 1e-3);
    EXPECT_NEAR(curve.Value(0.25).y, 64, 1e-3);
    EXPECT_NEAR(curve.Value(0.75).y, 192, 1e-3);
}

TEST(BSpline, ThreeEqualVerticesMakeAKnuckle) {
    const TBSpline curve =
        curveThrough({{0, 0, 0}, {100, 50, 0}, {100, 50, 0}, {100, 50, 0}, {256, 256, 0}});
    for (int k = 2; k <= 4; ++k) {
        EXPECT_FLOAT_EQ(curve.point(k).x, 100);
        EXPECT_FLOAT_EQ(curve.point(k).y, 50);
    }
    EXPECT_NEAR(curve.Value(0.5).x, 100, 1e-3);
    EXPECT_NEAR(curve.Value(0.5).y, 50, 1e-3);
    // A corner: the curve arrives from the left and leaves to the right of the knuckle.
    EXPECT_LT(curve.Value(0.45).x, 100);
    EXPECT_GT(curve.Value(0.55).x, 100);
}

TEST(BSpline, RefusesTheHundredAndFirstVertex) {
    ui::headless::Driver driver;
    TBSpline curve;
    for (int i = 0; i < 100; ++i) EXPECT_TRUE(curve.AddVertex({float(i), float(i), 0}));
    EXPECT_TRUE(driver.boxes().empty());
    EXPECT_FALSE(curve.AddVertex({500, 500, 0}));
    ASSERT_EQ(driver.boxes().size(), 1u);
    EXPECT_EQ(driver.boxes()[0].text, "Maximum number of vertices reached.");
    EXPECT_EQ(driver.boxes()[0].buttons, ui::BoxButtons::Ok);
    EXPECT_EQ(curve.count(), 100);
    EXPECT_FLOAT_EQ(curve.point(100).x, 99);
    curve.Interpolate();
    EXPECT_NEAR(curve.Value(1).x, 99, 1e-2);
}

TEST(BSpline, DegenerateCurvesAndParametersStayDefined) {
    TBSpline empty;
    EXPECT_FLOAT_EQ(empty.Value(0.5).x, 0);
    TBSpline one;
    one.AddVertex({7, 9, 0});
    one.Interpolate();
    EXPECT_FLOAT_EQ(one.Value(0.3).y, 9);
    const TBSpline line = curveThrough({{0, 0, 0}, {256, 256, 0}});
    EXPECT_NEAR(line.Value(-1).x, 0, 1e-3);
    EXPECT_NEAR(line.Value(2).x, 256, 1e-3);
}
