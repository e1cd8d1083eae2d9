// An acquired image: where on the bed it was taken, at what resolution, with which SANE
// parameters, and the bitmap that holds its pixels (the window's, not owned).
#pragma once

#include <vector>

#include "image/bitmap.h"
#include "image/decode_frame.h"
#include "platform/global_memory.h"
#include "twain/dsm_link.h"

namespace tarnwick {

// SANE_UNIT_MM: the unit of the rectangle.
constexpr int kUnitMillimetre = 3;

class Image {
  public:
    double top = 0, left = 0, bottom = 0, right = 0;
    int unit = kUnitMillimetre;
    int xResolution = 0, yResolution = 0;
    FrameParameters parameters;  // of the last frame scanned
    Bitmap* bitmap = nullptr;
};

// The packed device-independent bitmap of the image in a block made by the manager's memory
// functions that becomes the receiver's; null when memory is short or the image has no bitmap.
platform::GlobalHandle toDib(const Image& image, const DsmLink& memory);

// Colour frames of 1 bit are delivered as 8-bit indexes into the eight-colour palette, as
// the application is told; the 24-bit pixels the decoding built are turned into them here.
// Every other bitmap is left as it is. False when memory for the new pixels is short.
bool toDeliveredForm(Bitmap& bitmap, const FrameParameters& parameters);

// The palette of 1-bit colour images: index i has red off when bit value 4 of i is set, green
// off with bit value 2, blue off with bit value 1 (index 0 white, 7 black); the rest black.
std::vector<PaletteEntry> eightColourPalette();

}  // namespace tarnwick
