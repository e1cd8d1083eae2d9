#include "twain/fix32.h"

#include <cmath>
#include <cstdint>

namespace tarnwick {

TW_FIX32 toFix32(double value) {
    const float x = static_cast<float>(value);
    // Truncation toward zero of x * 65536 + 0.5, kept inside the 32-bit range.
    double scaled = static_cast<double>(x) * 65536.0 + 0.5;
    if (!std::isfinite(scaled)) scaled = 0;
    if (scaled > INT32_MAX) scaled = INT32_MAX;
    if (scaled < INT32_MIN) scaled = INT32_MIN;
    const auto v = static_cast<std::int32_t>(scaled);
    TW_FIX32 fix;
    fix.Whole = static_cast<TW_INT16>(v >> 16);
    fix.Frac = static_cast<TW_UINT16>(v & 0xFFFF);
    return fix;
}

float fromFix32(const TW_FIX32& value) {
    return static_cast<float>(value.Whole + value.Frac * 0.0000152587890625);
}

TW_UINT32 fix32Bits(const TW_FIX32& value) {
    return static_cast<TW_UINT16>(value.Whole) | static_cast<TW_UINT32>(value.Frac) << 16;
}

}  // namespace tarnwick
