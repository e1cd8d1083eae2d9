#include "twain/image.h"

#include "image/dib.h"

namespace tarnwick {

platform::GlobalHandle toDib(const Image& image, const DsmLink& memory) {
    if (!image.bitmap) return nullptr;
    const std::size_t header = dibHeaderSize(*image.bitmap);
    const std::size_t pixels = dibPixelSize(*image.bitmap);
    platform::GlobalHandle handle = memory.allocate(header + pixels);
    auto* block = static_cast<std::uint8_t*>(memory.lock(handle));
    if (!block) {
        memory.release(handle);
        return nullptr;
    }
    writeDib(*image.bitmap, image.xResolution, block);
    memory.unlock(handle);
    return handle;
}

std::vector<PaletteEntry> eightColourPalette() {
    std::vector<PaletteEntry> table(256, PaletteEntry{0, 0, 0});
    for (int i = 0; i < 8; ++i) {
        table[i] = {static_cast<std::uint8_t>(i & 4 ? 0 : 255),
                    static_cast<std::uint8_t>(i & 2 ? 0 : 255),
                    static_cast<std::uint8_t>(i & 1 ? 0 : 255)};
    }
    return table;
}

bool toDeliveredForm(Bitmap& bitmap, const FrameParameters& p) {
    if (p.format == kFrameGray || p.depth != 1 || bitmap.kind() != BitmapKind::Bits24) return true;
    Bitmap indexed;
    if (!indexed.reset(BitmapKind::Bits8, bitmap.width(), bitmap.height())) return false;
    for (int y = 0; y < bitmap.height(); ++y) {
        const std::uint8_t* from = bitmap.row(y);
        std::uint8_t* to = indexed.row(y);
        for (int x = 0; x < bitmap.width(); ++x) {
            const std::uint8_t* bgr = from + 3 * x;
            to[x] = static_cast<std::uint8_t>((bgr[2] < 128 ? 4 : 0) | (bgr[1] < 128 ? 2 : 0) |
                                              (bgr[0] < 128 ? 1 : 0));
        }
    }
    indexed.setColourTable(eightColourPalette());
    bitmap = std::move(indexed);
    return true;
}

}  // namespace tarnwick
