// Colour rows between the order SANE sends (red, green, blue) and the order of device-independent
// bitmaps (blue, green, red): the same exchange both ways.
#pragma once

#include <cstdint>

namespace tarnwick {

// Writes `pixels` 3-byte pixels of `from` to `to` with the first and third byte exchanged; the
// two rows do not overlap.
void swapRedBlue(const std::uint8_t* from, std::uint8_t* to, int pixels);

}  // namespace tarnwick
