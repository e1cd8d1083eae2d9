// A uniform cubic B-spline that passes through its vertices, in single precision.
#pragma once

#include <vector>

namespace tarnwick {

struct TVertex {
    float x = 0, y = 0, z = 0;
};

class TBSpline {
  public:
    static constexpr int kMaxVertices = 100;

    TBSpline();

    // Refuses a vertex beyond the hundredth with a message box; false then.
    bool AddVertex(const TVertex& vertex);
    // Replaces the vertices by control points; needs three vertices and a solvable system.
    void Interpolate();
    // The curve point at t in 0 ... 1 (clamped); the origin for a curve without vertices and
    // the single vertex for a curve of one.
    TVertex Value(double t) const;

    int count() const { return count_; }
    bool interpolated() const { return interpolated_; }
    // Entry k: 0 and count + 1 are the phantom points, 1 ... count the vertices or control points.
    const TVertex& point(int k) const { return points_[static_cast<std::size_t>(k)]; }

  private:
    void renewPhantoms();

    int count_ = 0;
    std::vector<TVertex> points_;
    bool interpolated_ = false;
};

}  // namespace tarnwick
