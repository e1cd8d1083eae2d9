// Message digests from the platform's cryptography library.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace platform {

// The MD5 digest of the bytes; nothing when the platform cannot compute it.
std::optional<std::array<std::uint8_t, 16>> md5(std::string_view data);

}  // namespace platform
