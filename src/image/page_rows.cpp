#include "image/page_rows.h"

#include <memory>
#include <vector>

namespace tarnwick {

PageRows atMostEightBit(const PageRows& page) {
    if (page.format.bitsPerSample != 16) return page;
    PageRows narrow = page;
    narrow.format.bitsPerSample = 8;
    const std::size_t samples = static_cast<std::size_t>(page.format.width) *
                                static_cast<std::size_t>(page.format.channels);
    auto wide = std::make_shared<std::vector<std::uint8_t>>(samples * 2);
    narrow.row = [source = page.row, wide, samples](int y, std::uint8_t* out) {
        source(y, wide->data());
        // Samples are little-endian: the high byte is the second.
        for (std::size_t i = 0; i < samples; ++i) out[i] = (*wide)[2 * i + 1];
    };
    return narrow;
}

PageRows asEightBit(const PageRows& page) {
    if (page.format.bitsPerSample != 1) return atMostEightBit(page);
    PageRows grey = page;
    grey.format.bitsPerSample = 8;
    const auto width = static_cast<std::size_t>(page.format.width);
    auto bits = std::make_shared<std::vector<std::uint8_t>>((width + 7) / 8);
    grey.row = [source = page.row, bits, width](int y, std::uint8_t* out) {
        source(y, bits->data());
        for (std::size_t x = 0; x < width; ++x)
            out[x] = ((*bits)[x / 8] >> (7 - x % 8)) & 1 ? 255 : 0;
    };
    return grey;
}

}  // namespace tarnwick
