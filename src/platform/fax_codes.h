// The run-length codes of the fax standards (T.4's terminating and make-up codes), which the
// horizontal mode of Group 4 coding uses, and the bits they are written into.
#pragma once

#include <cstdint>
#include <vector>

namespace platform {

// Bits into bytes, most significant bit first, the last byte padded with zero bits.
class FaxBits {
  public:
    void put(std::uint32_t bits, int length);
    // The whole bytes so far, taken out; the bits of a byte begun stay.
    std::vector<std::uint8_t> takeBytes();
    // Pads the byte begun, then takes every byte.
    std::vector<std::uint8_t> takeAll();

  private:
    std::vector<std::uint8_t> bytes_;
    std::uint32_t pending_ = 0;
    int pendingBits_ = 0;
};

// A run of `length` pixels of one colour: make-up codes, then a terminating code.
void putRun(FaxBits& out, int length, bool black);

}  // namespace platform
