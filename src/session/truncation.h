// Real numbers become scan-area units and screen pixels by truncation toward zero.
#pragma once

#include <algorithm>
#include <cmath>

namespace tarnwick {

// Toward zero; a value that is not finite gives 0 and a huge one stops at +-2e9, so that a
// daemon's extreme bounds or a zero zoom never overflow the integer.
inline int truncated(double value) {
    if (!std::isfinite(value)) return 0;
    return static_cast<int>(std::clamp(value, -2e9, 2e9));
}

}  // namespace tarnwick
