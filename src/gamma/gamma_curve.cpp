#include "gamma/gamma_curve.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "ui/number_format.h"

namespace tarnwick {

namespace {

// The "0.#" format: at most one decimal, none when it is zero.
std::string shortNumber(double v) {
    char text[64];
    std::snprintf(text, sizeof text, "%.1f", v);
    std::string s = text;
    if (s.size() > 2 && s.compare(s.size() - 2, 2, ".0") == 0) s.resize(s.size() - 2);
    if (s == "-0") s = "0";
    return s;
}

int truncated(double v) {
    if (!std::isfinite(v)) return 0;
    return static_cast<int>(std::clamp(v, -1e9, 1e9));
}

}  // namespace

GammaCurve::GammaCurve() : curve_(std::make_unique<TBSpline>()) {
    selectMode(CurveMode::Straight);
}

void GammaCurve::configure(int entries, double min, double max) {
    entries_ = std::max(entries, 1);
    scale_ = static_cast<double>(W) / entries_;
    min_ = min;
    max_ = max;
}

std::string GammaCurve::xRangeText() const {
    return "X: [0," + std::to_string(entries_ - 1) + "]";
}

std::string GammaCurve::yRangeText() const {
    return "Y: [" + shortNumber(min_) + "," + shortNumber(max_) + "]";
}

void GammaCurve::load(const std::vector<double>& values) {
    points_.clear();
    const double range = max_ - min_;
    for (std::size_t i = 0; i < values.size() && i < static_cast<std::size_t>(kMaxPoints); ++i) {
        const int y = range != 0 ? truncated(H * (values[i] - min_) / range) : 0;
        points_.push_back({truncated(static_cast<double>(i) * scale_), y});
    }
    if (mode_ == CurveMode::Spline) rebuild();
}

void GammaCurve::selectMode(CurveMode mode) {
    mode_ = mode;
    if (mode == CurveMode::Straight) {
        points_ = {{0, 0}, {256, 256}};
    } else if (points_.size() == 2) {
        points_ = {{0, 0},
                   {truncated(W * 0.33), truncated(H * 0.75)},
                   {truncated(W * 0.66), truncated(H * 0.25)},
                   {W, H}};
    }
    if (mode_ == CurveMode::Spline) rebuild();
}

void GammaCurve::applyGamma(const std::string& text) {
    // Typed in the user's locale, like every number the user enters.
    const std::optional<double> typed = ui::parseReal(text);
    float g = typed ? static_cast<float>(*typed) : 1.0f;
    if (!std::isfinite(g)) g = 1;
    if (g < 0) g = 0;
    // The steps need two points at least.
    if (points_.size() < 2) points_.resize(2);
    const float e = 1.0f / g;
    const float k = H / std::pow(static_cast<float>(H), e);
    const int count = static_cast<int>(points_.size());
    for (int i = 0; i < count; ++i) {
        const int x = i * (W / (count - 1));
        float y = std::pow(static_cast<float>(x), e) * k;
        // Very small gamma values overflow single precision; the curve's limit is used then.
        if (!std::isfinite(y)) y = static_cast<float>(H * std::pow(x / static_cast<double>(H), e));
        if (!std::isfinite(y)) y = x >= H ? H : 0;
        points_[static_cast<std::size_t>(i)] = {x, truncated(y)};
    }
    mode_ = CurveMode::Spline;
    rebuild();
}

void GammaCurve::rebuild() {
    curve_ = std::make_unique<TBSpline>();
    splineBuilt_ = static_cast<int>(points_.size()) <= TBSpline::kMaxVertices;
    if (!splineBuilt_) return;
    for (const CurvePoint& p : points_)
        curve_->AddVertex({static_cast<float>(p.x), static_cast<float>(H - p.y), 0.0f});
    curve_->Interpolate();
}

int GammaCurve::hitTest(int x, int y) const {
    for (std::size_t i = 0; i < points_.size(); ++i) {
        const CurvePoint& p = points_[i];
        if (p.x - 5 < x && x < p.x + 5 && (H - p.y) - 5 < y && y < (H - p.y) + 5)
            return static_cast<int>(i);
    }
    return -1;
}

bool GammaCurve::mouseDown(int x, int y) {
    const int hit = hitTest(x, y);
    if (hit >= 0) {
        drag_ = hit;
        return false;
    }
    if (static_cast<int>(points_.size()) >= kMaxPoints) return false;
    const auto at =
        std::find_if(points_.begin(), points_.end(), [x](const CurvePoint& p) { return p.x >= x; });
    drag_ = static_cast<int>(at - points_.begin());
    points_.insert(at, {x, H - y});
    if (mode_ == CurveMode::Spline) rebuild();
    if (mode_ == CurveMode::Straight) mode_ = CurveMode::Line;
    return true;
}

bool GammaCurve::mouseMove(int x, int y) {
    if (drag_ < 0 || drag_ >= static_cast<int>(points_.size())) return false;
    x = std::clamp(x, 0, W);
    y = std::clamp(y, 0, H);
    CurvePoint& p = points_[static_cast<std::size_t>(drag_)];
    if (mode_ == CurveMode::Straight) {
        if (drag_ == 0)
            p = x > H - y ? CurvePoint{x, 0} : CurvePoint{0, H - y};
        else if (drag_ == 1)
            p = x < H - y ? CurvePoint{x, H} : CurvePoint{W, H - y};
        else
            p = {0, H - y};
    } else {
        const std::size_t d = static_cast<std::size_t>(drag_);
        int px = x;
        if (d + 1 < points_.size() && x >= points_[d + 1].x)
            px = points_[d + 1].x - 1;
        else if (d > 0 && x <= points_[d - 1].x)
            px = points_[d - 1].x + 1;
        p = {px, H - y};
    }
    if (mode_ == CurveMode::Spline) rebuild();
    return true;
}

std::vector<CurvePoint> GammaCurve::curvePolyline() const {
    std::vector<CurvePoint> line;
    if (usesSpline()) {
        for (int k = 0; k < 256; ++k) {
            const TVertex v = curve_->Value(k / 256.0);
            line.push_back({truncated(v.x), truncated(v.y)});
        }
    } else {
        for (const CurvePoint& p : points_) line.push_back({p.x, H - p.y});
    }
    return line;
}

double GammaCurve::polylineValue(double x) const {
    const double unit = (max_ - min_) / W;
    const std::size_t count = points_.size();
    if (count == 0) return min_;
    if (count == 1) return min_ + points_[0].y * unit;
    std::size_t i = 0;
    while (i < count && points_[i].x <= x) ++i;
    if (i == 0) return points_[1].y > points_[0].y ? min_ : max_;
    if (i == count) return points_[count - 2].y <= points_[count - 1].y ? max_ : min_;
    const CurvePoint& a = points_[i - 1];
    const CurvePoint& b = points_[i];
    return min_ + a.y * unit + (x - a.x) * (b.y - a.y) * unit / (b.x - a.x);
}

double GammaCurve::readValue(int entry) const {
    const double x = entry * scale_;
    if (!usesSpline()) return polylineValue(x);
    const double unit = (max_ - min_) / W;
    // The table is the drawn curve at x, and a spline's x does not grow evenly with its
    // parameter: find the parameter of x by bisection (x grows with it, as the points do).
    double low = 0, high = 1;
    for (int step = 0; step < kBisectionSteps; ++step) {
        const double middle = (low + high) / 2;
        (curve_->Value(middle).x < x ? low : high) = middle;
    }
    const TVertex p = curve_->Value((low + high) / 2);
    return min_ + (H - p.y) * unit;
}

}  // namespace tarnwick
