// The decoders the format sniffing chooses from.
#pragma once

#include "platform/image_codec.h"

namespace platform {

std::unique_ptr<RowDecoder> decodeJpeg(const std::uint8_t* data, std::size_t size);
std::unique_ptr<RowDecoder> decodePng(const std::uint8_t* data, std::size_t size);

}  // namespace platform
