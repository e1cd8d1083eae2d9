// Dots per inch of a window's monitor, and pixel sizes laid out at 96 (100 percent) taken to it.
// Layouts name their sizes as they look at 96 and scale them; text is measured in the fonts of
// the window's DPI and needs no scaling.
#pragma once

#include <algorithm>
#include <cstdint>

namespace ui {

inline constexpr int kBaseDpi = 96;
// A monitor's DPI as anyone reports it is kept within these, so that no scale is absurd.
inline constexpr int kMinDpi = 48;
inline constexpr int kMaxDpi = 480;

constexpr int boundedDpi(int dpi) {
    return std::clamp(dpi, kMinDpi, kMaxDpi);
}

// `px` × to / from, rounded to the nearest pixel (halves away from zero, so that negative
// positions mirror positive ones), within the range of int.
constexpr int rescaled(int px, int from, int to) {
    from = boundedDpi(from);
    to = boundedDpi(to);
    const std::int64_t product = std::int64_t{px} * to;
    const std::int64_t half = from / 2;
    const std::int64_t r = product >= 0 ? (product + half) / from : -((-product + half) / from);
    return static_cast<int>(std::clamp<std::int64_t>(r, INT32_MIN, INT32_MAX));
}

// A size laid out at 96 DPI, at `dpi`.
constexpr int scaled(int px, int dpi) {
    return rescaled(px, kBaseDpi, dpi);
}

// A size at `dpi` as it would be at 96 DPI (for settings kept independent of the monitor).
constexpr int unscaled(int px, int dpi) {
    return rescaled(px, dpi, kBaseDpi);
}

}  // namespace ui
