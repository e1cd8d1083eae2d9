// Building requests: the wire types appended to a byte buffer that goes out in one write.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sane/wire_types.h"

namespace tarnwick {

using Bytes = std::vector<std::uint8_t>;

class WireWriter {
  public:
    WireWriter& word(Word value);
    // Always length + 1 and the characters with their NUL; an empty text is the word 1 and a NUL.
    WireWriter& string(const std::string& text);
    WireWriter& bytes(const void* data, std::size_t count);
    const Bytes& data() const { return data_; }
    Bytes take() { return std::move(data_); }

  private:
    Bytes data_;
};

}  // namespace tarnwick
