// What the application is told about an acquired image, and the rows it receives by memory.
#pragma once

#include <cstdint>

#include "image/bitmap.h"
#include "image/decode_frame.h"
#include "twain/records.h"

namespace tarnwick {

struct ImageFormat {
    TW_INT16 pixelType = TWPT_BW;
    TW_INT16 samplesPerPixel = 1;
    TW_INT16 bitsPerSample = 1;  // the same for every sample
    TW_INT16 bitsPerPixel = 1;
    int width = 0;  // pixels per row
    int rows = 0;   // rows the bitmap holds for the application
    std::uint32_t rowBytes = 0;
    std::uint32_t rowStride = 0;  // bytes per row of a memory transfer buffer
};

// Grey 1-bit images are black and white, other grey images 8-bit grey, 1-bit colour images
// 8-bit palette indexes, and other colour images RGB. The description follows the bitmap that
// holds the pixels, so information, memory rows and native bitmap always agree. A bitmap of
// 16-bit samples is described with them when `sixteenBits` (a memory transfer), else by its
// most significant bytes. A device that did not know the length in advance has the rows it
// sent.
ImageFormat describeImage(const FrameParameters& parameters, const Bitmap& bitmap,
                          bool sixteenBits = false);

// Writes `count` rows from `firstRow` on, each `rowStride` bytes: red, green, blue for colour
// pixels, the bitmap's bytes otherwise, and zeros up to the stride. 16-bit samples are written
// least significant byte first, the order of the machines TWAIN sources run on (x86).
void writeMemoryRows(const Bitmap& bitmap, const ImageFormat& format, int firstRow, int count,
                     std::uint8_t* out);

}  // namespace tarnwick
