#include "twain/image_format.h"

#include <algorithm>
#include <cstring>

#include "image/swap_red_blue.h"

namespace tarnwick {

ImageFormat describeImage(const FrameParameters& p, const Bitmap& bitmap, bool sixteenBits) {
    ImageFormat f;
    const bool deep = sixteenBits && isDeep(bitmap.kind());
    switch (shallowKind(bitmap.kind())) {
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
        default:
            break;
    }
    if (deep) {
        f.bitsPerSample = 16;
        f.bitsPerPixel = static_cast<TW_INT16>(16 * f.samplesPerPixel);
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
    const bool deep = isDeep(bitmap.kind());
    const std::size_t samples = static_cast<std::size_t>(f.width) * f.samplesPerPixel;
    for (int k = 0; k < count; ++k) {
        std::uint8_t* target = out + static_cast<std::size_t>(k) * f.rowStride;
        const std::uint8_t* source = bitmap.row(firstRow + k);
        if (deep) {
            // Blue-first pixels become red-first ones; each sample whole or its high byte.
            const std::size_t channels = static_cast<std::size_t>(f.samplesPerPixel);
            for (std::size_t i = 0; i < samples; i += channels) {
                for (std::size_t c = 0; c < channels; ++c) {
                    const std::uint16_t v = sampleAt(source + 2 * (i + channels - 1 - c));
                    if (f.bitsPerSample == 16) {
                        target[2 * (i + c)] = static_cast<std::uint8_t>(v);
                        target[2 * (i + c) + 1] = static_cast<std::uint8_t>(v >> 8);
                    } else {
                        target[i + c] = static_cast<std::uint8_t>(v >> 8);
                    }
                }
            }
        } else if (bitmap.kind() == BitmapKind::Bits24) {
            swapRedBlue(source, target, f.width);
        } else {
            std::memcpy(target, source, copied);
        }
        std::memset(target + f.rowBytes, 0, f.rowStride - f.rowBytes);
    }
}

}  // namespace tarnwick
