// One spline rebuild over 100 points plus the 256-step evaluation the editor draws: the work
// done on every mouse move while a point is dragged in spline mode.
#include <benchmark/benchmark.h>

#include <cmath>

#include "gamma/splines.h"

namespace {

void rebuildAndEvaluate(benchmark::State& state) {
    for (auto _ : state) {
        tarnwick::TBSpline curve;
        for (int i = 0; i < tarnwick::TBSpline::kMaxVertices; ++i) {
            const float x = i * 256.0f / 99.0f;
            curve.AddVertex({x, 256.0f - 16.0f * std::sqrt(x), 0.0f});
        }
        curve.Interpolate();
        float sum = 0;
        for (int k = 0; k < 256; ++k) sum += curve.Value(k / 256.0).y;
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(rebuildAndEvaluate)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
