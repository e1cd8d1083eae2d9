#include "gamma/splines.h"

#include <cmath>

#include "base/translate.h"
#include "ui/backend.h"

namespace tarnwick {

namespace {

void reportVertexLimit(const std::string& text) {
    ui::messageBox(text, tr("Error"), ui::BoxKind::Error, ui::BoxButtons::Ok);
}

}  // namespace

TBSpline::TBSpline() : points_(kMaxVertices + 2) {}

void TBSpline::renewPhantoms() {
    if (count_ < 2) return;
    TVertex& first = points_[0];
    TVertex& last = points_[static_cast<std::size_t>(count_) + 1];
    const TVertex& v1 = points_[1];
    const TVertex& v2 = points_[2];
    const TVertex& vn = points_[static_cast<std::size_t>(count_)];
    const TVertex& vm = points_[static_cast<std::size_t>(count_) - 1];
    first = {2 * v1.x - v2.x, 2 * v1.y - v2.y, 2 * v1.z - v2.z};
    last = {2 * vn.x - vm.x, 2 * vn.y - vm.y, 2 * vn.z - vm.z};
}

bool TBSpline::AddVertex(const TVertex& vertex) {
    if (count_ >= kMaxVertices) {
        reportVertexLimit(tr("Maximum number of vertices reached."));
        return false;
    }
    ++count_;
    points_[static_cast<std::size_t>(count_)] = vertex;
    renewPhantoms();
    return true;
}

void TBSpline::Interpolate() {
    const int n = count_;
    if (n < 3) return;
    // Row i (0-based) states that the curve passes through vertex i: a tridiagonal system, kept
    // as three diagonals since every other entry stays zero.
    std::vector<float> below(n, 0.0f), diagonal(n, 1.0f), above(n, 0.0f);
    for (int i = 1; i < n - 1; ++i) {
        below[i] = 1.0f / 6.0f;
        diagonal[i] = 2.0f / 3.0f;
        above[i] = 1.0f / 6.0f;
    }
    // Three coinciding vertices make a knuckle: their rows become identity rows.
    const auto at = [this](int i) -> const TVertex& {
        return points_[static_cast<std::size_t>(i) + 1];
    };
    const auto close = [](const TVertex& a, const TVertex& b) {
        return std::fabs(a.x - b.x) < 1e-5f && std::fabs(a.y - b.y) < 1e-5f;
    };
    for (int i = 1; i < n - 1; ++i) {
        if (!close(at(i), at(i - 1)) || !close(at(i), at(i + 1))) continue;
        for (int r = i - 1; r <= i + 1; ++r) {
            below[r] = 0.0f;
            diagonal[r] = 1.0f;
            above[r] = 0.0f;
        }
    }
    for (int i = 0; i < n; ++i)
        if (std::fabs(diagonal[i]) < 1e-6f) return;

    std::vector<float> x(n), y(n);
    for (int i = 0; i < n; ++i) {
        x[i] = at(i).x;
        y[i] = at(i).y;
    }
    // Gaussian elimination without pivoting; only the entry below each pivot is non-zero.
    for (int i = 0; i + 1 < n; ++i) {
        const float f = below[i + 1] / diagonal[i];
        diagonal[i + 1] = diagonal[i + 1] - f * above[i];
        below[i + 1] = 0.0f;
        x[i + 1] = x[i + 1] - f * x[i];
        y[i + 1] = y[i + 1] - f * y[i];
    }
    std::vector<float> cx(n), cy(n);
    cx[n - 1] = x[n - 1] / diagonal[n - 1];
    cy[n - 1] = y[n - 1] / diagonal[n - 1];
    for (int i = n - 2; i >= 0; --i) {
        const float inverse = 1.0f / diagonal[i];
        cx[i] = inverse * (x[i] - above[i] * cx[i + 1]);
        cy[i] = inverse * (y[i] - above[i] * cy[i + 1]);
    }
    for (int i = 0; i < n; ++i) {
        TVertex& p = points_[static_cast<std::size_t>(i) + 1];
        p.x = cx[i];
        p.y = cy[i];
    }
    renewPhantoms();
    interpolated_ = true;
}

TVertex TBSpline::Value(double t) const {
    const int n = count_;
    if (n == 0) return {};
    if (n == 1) return points_[1];
    t = t < 0 ? 0 : (t > 1 ? 1 : t);
    const long double u = static_cast<long double>(n - 1) * t;
    const int c = static_cast<int>(u);
    TVertex result;
    for (int j = c - 2; j <= c + 3; ++j) {
        if (j < 0 || j > n + 1) continue;
        const long double d = std::fabs(u - static_cast<long double>(j - 1));
        if (d >= 2) continue;
        const long double w =
            d < 1 ? 2.0L / 3.0L - d * d + d * d * d / 2 : (2 - d) * (2 - d) * (2 - d) / 6;
        const TVertex& p = points_[static_cast<std::size_t>(j)];
        result.x = static_cast<float>(result.x + w * p.x);
        result.y = static_cast<float>(result.y + w * p.y);
        result.z = static_cast<float>(result.z + w * p.z);
    }
    return result;
}

}  // namespace tarnwick
