// TIFF files of JPEG-compressed pages (compression 7), for the platforms whose TIFF codec has
// no JPEG: each page is one strip holding the whole JPEG stream of this platform's encoder.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/image_codec.h"

namespace platform {

// Pages of 8-bit grey (MinIsBlack) or colour (YCbCr, with the subsampling the stream has);
// addPage answers null for anything else or another compression.
std::unique_ptr<TiffWriter> createJpegTiff(const std::string& path);
std::unique_ptr<TiffWriter> createJpegTiffInMemory(std::vector<std::uint8_t>& bytes);

}  // namespace platform
