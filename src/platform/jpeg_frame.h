// What a JPEG stream's frame header says of its samples, for containers that must repeat it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace platform {

struct JpegFrame {
    int width = 0, height = 0, components = 0;
    // How many luminance samples share one chrominance sample, across and down (1, 2 or 4);
    // 1 and 1 for grey.
    int horizontalShare = 1, verticalShare = 1;
};

// The frame of a JPEG stream; nothing for a stream without a well-formed frame header before
// its first scan, or with chrominance sampled finer than luminance.
std::optional<JpegFrame> readJpegFrame(const std::uint8_t* data, std::size_t size);

}  // namespace platform
