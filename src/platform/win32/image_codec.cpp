// The Windows Imaging Component is not yet behind these: the source offers the formats it
// writes itself (BMP, PDF with Flate) there.
#include "platform/image_codec.h"

namespace platform {

CodecSupport codecSupport() {
    return {};
}

std::unique_ptr<RowEncoder> encodePng(ByteSink&, const RasterFormat&) {
    return nullptr;
}

std::unique_ptr<RowEncoder> encodeJpeg(ByteSink&, const RasterFormat&, int) {
    return nullptr;
}

std::unique_ptr<RowEncoder> encodeGroup4(ByteSink&, const RasterFormat&) {
    return nullptr;
}

std::unique_ptr<TiffWriter> createTiff(const std::string&) {
    return nullptr;
}

std::unique_ptr<TiffWriter> createTiffInMemory(std::vector<std::uint8_t>&) {
    return nullptr;
}

std::unique_ptr<RowDecoder> decodeImage(const std::uint8_t*, std::size_t) {
    return nullptr;
}

}  // namespace platform
