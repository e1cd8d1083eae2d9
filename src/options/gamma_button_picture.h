// The picture on the table button of number options: a small gamma curve over a grid, 16 x 16
// pixels of 8 bits. The data stands alone (no other includes) so that tools which write the
// module's bitmap resource can read the same pixels.
#pragma once

#include <cstdint>
#include <memory>

namespace ui {
class Surface;
}

namespace tarnwick {

inline constexpr int kGammaButtonSide = 16;

// Palette entries as 0xRRGGBB. Entry 0 is white: white pixels are drawn transparent.
inline constexpr std::uint32_t kGammaButtonPalette[4] = {0xFFFFFF, 0x000000, 0x0000FF, 0xC0C0C0};

// Palette indices, rows from the top.
inline constexpr std::uint8_t kGammaButtonPixels[kGammaButtonSide * kGammaButtonSide] = {
    0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 3, 0, 0, 0, 0, 3, 0, 0, 0, 2, 2,
    0, 1, 0, 0, 0, 3, 0, 0, 0, 0, 3, 0, 2, 2, 2, 0, 0, 1, 0, 0, 0, 3, 0, 0, 0, 0, 2, 2, 2, 0, 0, 0,
    0, 1, 0, 0, 0, 3, 0, 0, 0, 2, 2, 0, 0, 0, 0, 0, 0, 1, 3, 3, 3, 3, 3, 2, 2, 2, 3, 3, 3, 3, 3, 0,
    0, 1, 0, 0, 0, 3, 2, 2, 0, 0, 3, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 2, 2, 0, 0, 0, 3, 0, 0, 0, 0, 0,
    0, 1, 0, 0, 2, 2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 1, 0, 2, 2, 3, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0,
    0, 1, 2, 2, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 0, 0, 1, 0, 0, 0, 3, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0,
    0, 1, 0, 0, 0, 3, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 3, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0,
    0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};

// The picture as a surface for a flat button, `side` pixels square (16 at 96 DPI; other sides
// repeat its pixels, which keeps its edges sharp), shared by every table button of that side.
std::shared_ptr<const ui::Surface> gammaButtonPicture(int side = kGammaButtonSide);

}  // namespace tarnwick
