// The in-memory bitmap a scan is decoded into: 1, 8 or 24 bits per pixel, or 16-bit samples
// (grey, or blue, green, red) for images delivered at that depth; rows from the top, each row
// padded to a multiple of 4 bytes as device-independent bitmaps are.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "image/zeroed_allocator.h"

namespace tarnwick {

enum class BitmapKind { Bits1, Bits8, Bits24, Grey16, Rgb48 };

// 16-bit samples are held in the machine's byte order.
bool isDeep(BitmapKind kind);
// The 8-bit kind that shows a bitmap of this kind: grey or 24-bit colour for the deep kinds.
BitmapKind shallowKind(BitmapKind kind);

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

// Row y of a deep bitmap in its shallow kind: the most significant byte of every sample.
void writeShallowRow(const Bitmap& bitmap, int y, std::uint8_t* out);
std::uint16_t sampleAt(const std::uint8_t* at);
void putSample(std::uint8_t* at, std::uint16_t value);

// The two-entry black and white table and the 256-entry grey ramp.
std::vector<PaletteEntry> blackWhitePalette();
std::vector<PaletteEntry> greyPalette();

}  // namespace tarnwick
