// A page of one strip on a handle opened by other means (memory, for raw Group 4 data).
#pragma once

#include <tiffio.h>

#include <vector>

#include "platform/image_codec.h"

namespace platform {

// A TIFF file in memory, for libtiff's client interface.
struct MemoryTiff {
    std::vector<std::uint8_t> bytes;
    std::uint64_t at = 0;
};
TIFF* openMemoryTiff(MemoryTiff& file, const char* mode);

std::unique_ptr<RowEncoder> encodeOneStrip(TIFF* tiff, const RasterFormat& format,
                                           RasterCompression compression);

}  // namespace platform
