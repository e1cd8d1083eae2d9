// The image a replayed device's current options describe, and its pixels (a pattern).
#pragma once

#include <sane/sane.h>

#include <cstdint>

#include "listing_reader.h"

namespace tarnwick::replay {

// The parameters of a scan with the current options; false when the area is empty or the image
// would not fit SANE's 32-bit counts.
bool imageParameters(const ReplayDevice& device, SANE_Parameters& parameters);

// Byte `offset` of page `page`'s image.
std::uint8_t patternByte(const SANE_Parameters& parameters, std::uint64_t offset, long page);

// True when the chosen "source" entry is a document feeder.
bool feederSelected(const ReplayDevice& device);

}  // namespace tarnwick::replay
