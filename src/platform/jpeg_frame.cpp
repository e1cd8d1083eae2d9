#include "platform/jpeg_frame.h"

namespace platform {

namespace {

constexpr std::uint8_t kStartOfImage = 0xd8, kStartOfScan = 0xda;

// The frame markers: SOF0 to SOF15 but DHT (C4), JPG (C8) and DAC (CC).
bool isFrameMarker(std::uint8_t m) {
    return m >= 0xc0 && m <= 0xcf && m != 0xc4 && m != 0xc8 && m != 0xcc;
}

// Markers without a length: TEM, the restart markers, SOI and EOI.
bool standsAlone(std::uint8_t m) {
    return m == 0x01 || (m >= 0xd0 && m <= 0xd9);
}

int shareOf(int luminance, int chrominance) {
    if (chrominance <= 0 || luminance % chrominance != 0) return 0;
    const int share = luminance / chrominance;
    return share == 1 || share == 2 || share == 4 ? share : 0;
}

std::optional<JpegFrame> parseFrame(const std::uint8_t* p, std::size_t length) {
    // Precision, height, width, component count, then 3 bytes a component.
    if (length < 6) return std::nullopt;
    JpegFrame frame;
    frame.height = p[1] << 8 | p[2];
    frame.width = p[3] << 8 | p[4];
    frame.components = p[5];
    if (frame.components != 1 && frame.components != 3) return std::nullopt;
    if (length < 6 + 3 * static_cast<std::size_t>(frame.components)) return std::nullopt;
    if (frame.components == 1) return frame;
    // The sampling factors of luminance and of the two chrominance components, which must agree.
    const int h = p[7] >> 4, v = p[7] & 15;
    if (p[13] != p[10]) return std::nullopt;
    frame.horizontalShare = shareOf(h, p[10] >> 4);
    frame.verticalShare = shareOf(v, p[10] & 15);
    if (frame.horizontalShare == 0 || frame.verticalShare == 0) return std::nullopt;
    return frame;
}

}  // namespace

std::optional<JpegFrame> readJpegFrame(const std::uint8_t* data, std::size_t size) {
    if (size < 2 || data[0] != 0xff || data[1] != kStartOfImage) return std::nullopt;
    std::size_t at = 2;
    while (at + 1 < size) {
        if (data[at] != 0xff) return std::nullopt;
        const std::uint8_t marker = data[at + 1];
        at += 2;
        if (marker == 0xff) {  // fill byte
            --at;
            continue;
        }
        if (standsAlone(marker)) continue;
        if (at + 2 > size) return std::nullopt;
        const std::size_t length = static_cast<std::size_t>(data[at] << 8 | data[at + 1]);
        if (length < 2 || at + length > size) return std::nullopt;
        if (isFrameMarker(marker)) return parseFrame(data + at + 2, length - 2);
        if (marker == kStartOfScan) return std::nullopt;
        at += length;
    }
    return std::nullopt;
}

}  // namespace platform
