// CCITT Group 4 (ITU-T T.6) coding of black-and-white rows, our own, for the platforms whose
// codecs have none: each row is coded against the one before it, so two rows are all it holds.
#pragma once

#include <memory>

#include "platform/image_codec.h"

namespace platform {

// Rows as RasterFormat packs 1-bit pixels (0 black). The fax code's white is the 0 bit, as
// libtiff codes such rows, so its data and ours read alike: a TIFF around it is MinIsBlack, a
// PDF filter BlackIs1. The data ends with the end-of-facsimile-block code. Null for rows of
// more than one bit.
std::unique_ptr<RowEncoder> encodeGroup4Rows(ByteSink& out, const RasterFormat& format);

}  // namespace platform
