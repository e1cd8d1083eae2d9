#include "image/dib.h"

#include <cstring>

namespace tarnwick {

namespace {

std::size_t paletteEntries(const Bitmap& bitmap) {
    switch (shallowKind(bitmap.kind())) {
        case BitmapKind::Bits1:
            return 2;
        case BitmapKind::Bits8:
            return 256;
        default:
            return 0;
    }
}

// A native bitmap has 8-bit samples, which every application reads; 16-bit samples keep their
// most significant byte.
std::size_t dibRowBytes(const Bitmap& bitmap) {
    return Bitmap::rowBytesFor(shallowKind(bitmap.kind()), bitmap.width());
}

void put16(std::uint8_t*& out, std::uint16_t v) {
    out[0] = static_cast<std::uint8_t>(v);
    out[1] = static_cast<std::uint8_t>(v >> 8);
    out += 2;
}

void put32(std::uint8_t*& out, std::uint32_t v) {
    for (int k = 0; k < 4; ++k) out[k] = static_cast<std::uint8_t>(v >> (8 * k));
    out += 4;
}

}  // namespace

std::size_t dibHeaderSize(const Bitmap& bitmap) {
    return kBitmapInfoHeaderSize + 4 * paletteEntries(bitmap);
}

std::size_t dibPixelSize(const Bitmap& bitmap) {
    return dibRowBytes(bitmap) * static_cast<std::size_t>(bitmap.height());
}

void writeDib(const Bitmap& bitmap, int dotsPerInch, std::uint8_t* out) {
    const std::size_t pixels = dibPixelSize(bitmap);
    const std::size_t entries = paletteEntries(bitmap);
    const auto perMetre =
        static_cast<std::uint32_t>(dotsPerInch > 0 ? dotsPerInch * 10000 / 254 : 0);
    put32(out, kBitmapInfoHeaderSize);
    put32(out, static_cast<std::uint32_t>(bitmap.width()));
    put32(out, static_cast<std::uint32_t>(bitmap.height()));
    put16(out, 1);
    put16(out, static_cast<std::uint16_t>(isDeep(bitmap.kind()) ? bitmap.bitsPerPixel() / 2
                                                                : bitmap.bitsPerPixel()));
    put32(out, 0);  // BI_RGB
    put32(out, static_cast<std::uint32_t>(pixels));
    put32(out, perMetre);
    put32(out, perMetre);
    put32(out, static_cast<std::uint32_t>(entries));
    put32(out, 0);
    // A bitmap whose table was never set (a cancelled grey scan) gets the standard one.
    const std::vector<PaletteEntry> table = bitmap.colourTable().size() == entries
                                                ? bitmap.colourTable()
                                            : entries == 2 ? blackWhitePalette()
                                                           : greyPalette();
    for (std::size_t i = 0; i < entries; ++i) {
        const PaletteEntry e = table[i];
        *out++ = e.blue;
        *out++ = e.green;
        *out++ = e.red;
        *out++ = 0;
    }
    const std::size_t rowBytes = dibRowBytes(bitmap);
    for (int y = bitmap.height() - 1; y >= 0; --y) {
        if (isDeep(bitmap.kind()))
            writeShallowRow(bitmap, y, out);
        else
            std::memcpy(out, bitmap.row(y), rowBytes);
        out += rowBytes;
    }
}

}  // namespace tarnwick
