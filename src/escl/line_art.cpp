#include "escl/line_art.h"

#include <cstring>

namespace tarnwick {

void thresholdRow(const std::uint8_t* row, const platform::RasterFormat& format,
                  std::uint8_t* out) {
    const int channels = format.channels;
    const bool wide = format.bitsPerSample == 16;
    const unsigned half = wide ? 32768 : 128;
    auto sample = [&](int i) -> unsigned {
        if (!wide) return row[i];
        std::uint16_t v;
        std::memcpy(&v, row + 2 * i, 2);
        return v;
    };
    std::memset(out, 0, (static_cast<std::size_t>(format.width) + 7) / 8);
    for (int x = 0; x < format.width; ++x) {
        const int i = x * channels;
        // Colour by its luminance (ITU-R BT.601 weights).
        const unsigned level =
            channels == 3 ? (sample(i) * 299 + sample(i + 1) * 587 + sample(i + 2) * 114) / 1000
                          : sample(i);
        if (level < half) out[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    }
}

}  // namespace tarnwick
