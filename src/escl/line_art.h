// Black and white from a page that came in grey or colour: a scanner without a one-bit format
// (one that offers JPEG only) sends a black-and-white page as grey.
#pragma once

#include <cstdint>

#include "platform/image_codec.h"

namespace tarnwick {

// One decoded row of `format` (8 or 16 bits, samples in the machine's order) as a SANE one-bit
// row, most significant bit first, 1 for black: a pixel darker than the middle of its range is
// black. `out` holds (width + 7) / 8 bytes.
void thresholdRow(const std::uint8_t* row, const platform::RasterFormat& format, std::uint8_t* out);

}  // namespace tarnwick
