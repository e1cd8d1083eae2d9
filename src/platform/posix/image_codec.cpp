#include <cstring>

#include "platform/posix/decoders.h"

namespace platform {

CodecSupport codecSupport() {
    return {true, true, true, true, true};
}

std::unique_ptr<RowDecoder> decodeImage(const std::uint8_t* data, std::size_t size) {
    static const std::uint8_t png[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (size >= sizeof png && std::memcmp(data, png, sizeof png) == 0) return decodePng(data, size);
    if (size >= 3 && data[0] == 0xff && data[1] == 0xd8 && data[2] == 0xff)
        return decodeJpeg(data, size);
    return nullptr;
}

}  // namespace platform
