// Pages in the sample depth a format holds.
#pragma once

#include "image/image_file.h"

namespace tarnwick {

// 1-bit pages become 8-bit grey (0 black, 255 white); 16-bit samples keep their high byte.
PageRows asEightBit(const PageRows& page);
// 16-bit samples keep their high byte; other pages are left as they are.
PageRows atMostEightBit(const PageRows& page);

}  // namespace tarnwick
