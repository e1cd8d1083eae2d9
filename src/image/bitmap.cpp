#include "image/bitmap.h"

#include <cstring>

namespace tarnwick {

int Bitmap::bitsPerPixel() const {
    switch (kind_) {
        case BitmapKind::Bits1:
            return 1;
        case BitmapKind::Bits8:
            return 8;
        case BitmapKind::Bits24:
            return 24;
        case BitmapKind::Grey16:
            return 16;
        case BitmapKind::Rgb48:
            return 48;
    }
    return 24;
}

bool isDeep(BitmapKind kind) {
    return kind == BitmapKind::Grey16 || kind == BitmapKind::Rgb48;
}

BitmapKind shallowKind(BitmapKind kind) {
    switch (kind) {
        case BitmapKind::Grey16:
            return BitmapKind::Bits8;
        case BitmapKind::Rgb48:
            return BitmapKind::Bits24;
        default:
            return kind;
    }
}

std::uint16_t sampleAt(const std::uint8_t* at) {
    std::uint16_t value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

void putSample(std::uint8_t* at, std::uint16_t value) {
    std::memcpy(at, &value, sizeof value);
}

void writeShallowRow(const Bitmap& bitmap, int y, std::uint8_t* out) {
    const std::uint8_t* from = bitmap.row(y);
    const std::size_t samples =
        static_cast<std::size_t>(bitmap.width()) * (bitmap.kind() == BitmapKind::Rgb48 ? 3 : 1);
    for (std::size_t i = 0; i < samples; ++i, from += 2)
        out[i] = static_cast<std::uint8_t>(sampleAt(from) >> 8);
}

std::size_t Bitmap::rowBytesFor(BitmapKind kind, int width) {
    if (width <= 0) return 0;
    const std::size_t w = static_cast<std::size_t>(width);
    std::size_t bytes = 0;
    switch (kind) {
        case BitmapKind::Bits1:
            bytes = (w + 7) / 8;
            break;
        case BitmapKind::Bits8:
            bytes = w;
            break;
        case BitmapKind::Bits24:
            bytes = w * 3;
            break;
        case BitmapKind::Grey16:
            bytes = w * 2;
            break;
        case BitmapKind::Rgb48:
            bytes = w * 6;
            break;
    }
    return (bytes + 3) & ~std::size_t{3};
}

bool Bitmap::reset(BitmapKind kind, int width, int height) {
    if (width < 0 || height < 0) return false;
    const std::size_t rowBytes = rowBytesFor(kind, width);
    if (rowBytes > kMaxBytes || (height > 0 && rowBytes > kMaxBytes / height)) return false;
    const std::size_t bytes = rowBytes * static_cast<std::size_t>(height);
    if (bytes > pixels_.capacity()) {
        // A new block (the old one released first) is zero already.
        pixels_ = Pixels();
        pixels_.resize(bytes);
    } else {
        pixels_.assign(bytes, 0);
    }
    kind_ = kind;
    width_ = width;
    rowBytes_ = rowBytes;
    height_ = height;
    colourTable_.clear();
    return true;
}

bool Bitmap::setHeight(int height) {
    if (height < 0 || (height > 0 && rowBytes_ > kMaxBytes / height)) return false;
    pixels_.resize(rowBytes_ * static_cast<std::size_t>(height), 0);
    height_ = height;
    return true;
}

std::vector<PaletteEntry> blackWhitePalette() {
    return {{0, 0, 0}, {255, 255, 255}};
}

std::vector<PaletteEntry> greyPalette() {
    std::vector<PaletteEntry> table(256);
    for (int i = 0; i < 256; ++i) {
        const auto v = static_cast<std::uint8_t>(i);
        table[i] = {v, v, v};
    }
    return table;
}

}  // namespace tarnwick
