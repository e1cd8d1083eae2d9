// The in-memory bitmap a scan is decoded into: 1, 8 or 24 bits per pixel, rows from the top,
// each row padded to a multiple of 4 bytes as device-independent bitmaps are.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "image/zeroed_allocator.h"

namespace tarnwick {

enum class BitmapKind { Bits1, Bits8, Bits24 };

struct PaletteEntry {
    std::uint8_t red, green, blue;
};

class Bitmap {
  public:
    // Refused (false, bitmap unchanged) when the pixels would not fit in kMaxBytes.
    bool reset(BitmapKind kind, int width, int height);
    // Keeps the rows that remain; new rows are zero. False when the size limit refuses it.
    bool setHeight(int height);

    BitmapKind kind() const { return kind_; }
    int width() const { return width_; }
    int height() const { return height_; }
    int bitsPerPixel() const;
    std::size_t rowBytes() const { return rowBytes_; }
    std::uint8_t* row(int y) { return pixels_.data() + static_cast<std::size_t>(y) * rowBytes_; }
    const std::uint8_t* row(int y) const {
        return pixels_.data() + static_cast<std::size_t>(y) * rowBytes_;
    }

    const std::vector<PaletteEntry>& colourTable() const { return colourTable_; }
    void setColourTable(std::vector<PaletteEntry> table) { colourTable_ = std::move(table); }

    // The largest pixel store a scan may ask for; a daemon's sizes beyond it are refused.
    static constexpr std::size_t kMaxBytes = std::size_t{1} << 30;
    static std::size_t rowBytesFor(BitmapKind kind, int width);

  private:
    BitmapKind kind_ = BitmapKind::Bits24;
    int width_ = 0;
    int height_ = 0;
    std::size_t rowBytes_ = 0;
    using Pixels = std::vector<std::uint8_t, ZeroedAllocator<std::uint8_t>>;
    Pixels pixels_;
    std::vector<PaletteEntry> colourTable_;
};

// The two-entry black and white table and the 256-entry grey ramp.
std::vector<PaletteEntry> blackWhitePalette();
std::vector<PaletteEntry> greyPalette();

}  // namespace tarnwick
