// A Windows bitmap file of a page: 1-bit black and white, 8-bit grey or 24-bit colour, rows
// bottom-up as the format keeps them.
#pragma once

#include "image/image_file.h"

namespace tarnwick {

bool writeBmp(platform::ByteSink& out, const PageRows& page);

}  // namespace tarnwick
