// The packed device-independent bitmap of a native transfer: header, colour table, rows bottom-up.
#pragma once

#include <cstddef>
#include <cstdint>

#include "image/bitmap.h"

namespace tarnwick {

constexpr std::size_t kBitmapInfoHeaderSize = 40;

std::size_t dibHeaderSize(const Bitmap& bitmap);  // header and colour table
std::size_t dibPixelSize(const Bitmap& bitmap);
// Writes dibHeaderSize + dibPixelSize bytes; the resolution fills the pels-per-metre fields.
void writeDib(const Bitmap& bitmap, int dotsPerInch, std::uint8_t* out);

}  // namespace tarnwick
