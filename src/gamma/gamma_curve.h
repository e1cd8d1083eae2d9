// The gamma editor's curve: points in a 256 x 256 area, three modes, and the table read off it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "gamma/splines.h"

namespace tarnwick {

struct CurvePoint {
    int x = 0, y = 0;  // y counts from the bottom of the area
    bool operator==(const CurvePoint&) const = default;
};

enum class CurveMode { Straight, Line, Spline };

class GammaCurve {
  public:
    static constexpr int W = 256;
    static constexpr int H = 256;
    static constexpr int kMaxPoints = 1023;
    // Halvings that place a table entry on the spline to well under a pixel.
    static constexpr int kBisectionSteps = 32;
    static constexpr int kMaxMarkedPoints = 32;  // more points are drawn without their squares

    GammaCurve();

    // The table's size and value range.
    void configure(int entries, double min, double max);
    // The option's values as points; only for tables of at most 256 entries.
    void load(const std::vector<double>& values);
    double readValue(int entry) const;
    std::string xRangeText() const;
    std::string yRangeText() const;

    // The mode buttons: a new mode and what it does to the points.
    void selectMode(CurveMode mode);
    CurveMode mode() const { return mode_; }
    // The gamma action with the text the user typed; switches to spline mode.
    void applyGamma(const std::string& text);

    // Mouse handling in screen coordinates (y from the top). Returns true when a repaint is due.
    bool mouseDown(int x, int y);
    bool mouseMove(int x, int y);
    void mouseUp() { drag_ = -1; }
    int hitTest(int x, int y) const;  // the point under the pointer, or -1
    int dragIndex() const { return drag_; }

    const std::vector<CurvePoint>& points() const { return points_; }
    // The curve as the area shows it: screen positions joined by lines.
    std::vector<CurvePoint> curvePolyline() const;
    bool showsPointMarks() const { return static_cast<int>(points_.size()) <= kMaxMarkedPoints; }

  private:
    // The spline is drawn and read only while it was built from the current points; with more
    // points than a spline takes, spline mode shows and reads the polyline instead.
    bool usesSpline() const { return mode_ == CurveMode::Spline && splineBuilt_; }
    void rebuild();
    double polylineValue(double x) const;

    std::vector<CurvePoint> points_;
    std::unique_ptr<TBSpline> curve_;
    bool splineBuilt_ = false;
    CurveMode mode_ = CurveMode::Straight;
    double scale_ = 1.0;
    double min_ = 0.0;
    double max_ = 255.0;
    int entries_ = 256;
    int drag_ = -1;
};

}  // namespace tarnwick
