// WIC's TIFF encoder: pages without compression, with LZW or with the fax code.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/image_codec.h"

namespace platform {

// Into the file at `path`, or into memory handed to `bytes` at close.
std::unique_ptr<TiffWriter> createWicTiff(const std::string* path,
                                          std::vector<std::uint8_t>* bytes);

}  // namespace platform
