#include "image/image_format.h"

#include <algorithm>
#include <cstring>

#include "image/swap_red_blue.h"

namespace tarnwick {

ImageFormat describeImage(const FrameParameters& p, const Bitmap& bitmap) {
    ImageFormat f;
    switch (bitmap.kind()) {
        case BitmapKind::Bits1:
            break;
        case BitmapKind::Bits8:
            f.pixelType = p.format == kFrameGray ? TWPT_GRAY : TWPT_PALETTE;
            f.bitsPerSample = f.bitsPerPixel = 8;
            break;
        case BitmapKind::Bits24:
            f.pixelType = TWPT_RGB;
            f.samplesPerPixel = 3;
            f.bitsPerSample = 8;
            f.bitsPerPixel = 24;
            break;
    }
    f.width = bitmap.width();
    f.rows = p.lines >= 0 ? std::min(p.lines, bitmap.height()) : bitmap.height();
    f.rowBytes = static_cast<std::uint32_t>(
        (static_cast<std::uint64_t>(f.bitsPerPixel) * static_cast<std::uint32_t>(f.width) + 7) / 8);
    const std::uint32_t multiple = f.pixelType == TWPT_RGB ? 12 : 4;
    f.rowStride = (f.rowBytes + multiple - 1) / multiple * multiple;
    return f;
}

void writeMemoryRows(const Bitmap& bitmap, const ImageFormat& f, int firstRow, int count,
                     std::uint8_t* out) {
    const std::uint32_t copied =
        std::min<std::uint32_t>(f.rowBytes, static_cast<std::uint32_t>(bitmap.rowBytes()));
    for (int k = 0; k < count; ++k) {
        std::uint8_t* target = out + static_cast<std::size_t>(k) * f.rowStride;
        const std::uint8_t* source = bitmap.row(firstRow + k);
        if (bitmap.kind() == BitmapKind::Bits24) {
            swapRedBlue(source, target, f.width);
        } else {
            std::memcpy(target, source, copied);
        }
        std::memset(target + f.rowBytes, 0, f.rowStride - f.rowBytes);
    }
}

}  // namespace tarnwick
