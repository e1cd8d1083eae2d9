// TWAIN's fixed-point numbers.
#pragma once

#include "twain/records.h"

namespace tarnwick {

TW_FIX32 toFix32(double value);
float fromFix32(const TW_FIX32& value);
// The 32-bit image of a TW_FIX32 as containers carry it: Whole low, Frac high.
TW_UINT32 fix32Bits(const TW_FIX32& value);

}  // namespace tarnwick
