// Building requests: the wire types appended to a byte buffer that goes out in one write.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "sane/wire_types.h"

namespace tarnwick {

using Bytes = std::vector<std::uint8_t>;

// The writes a request is made of; a write that stalls is reported by its kind.
enum class WireItem : std::uint8_t { word, bytes, string };

// A request's bytes, which go out in one write, and where each of its items ends.
struct Request : Bytes {
    std::vector<std::pair<std::size_t, WireItem>> itemEnds;
    // The kind of the item the byte at offset belongs to (the last one past the end).
    WireItem itemAt(std::size_t offset) const;
};

class WireWriter {
  public:
    WireWriter& word(Word value);
    // Always length + 1 and the characters with their NUL; an empty text is the word 1 and a NUL.
    // The length goes out as a word, the characters as a string.
    WireWriter& string(const std::string& text);
    WireWriter& bytes(const void* data, std::size_t count);
    const Bytes& data() const { return data_; }
    Request take() { return std::move(data_); }

  private:
    void ended(WireItem kind) { data_.itemEnds.emplace_back(data_.size(), kind); }
    Request data_;
};

}  // namespace tarnwick
