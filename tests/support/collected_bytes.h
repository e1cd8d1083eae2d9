// A byte sink that keeps what an encoder writes, for the codec tests.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/image_codec.h"

namespace tarnwick::testing {

class CollectedBytes : public platform::ByteSink {
  public:
    bool write(const std::uint8_t* data, std::size_t size) override {
        bytes.insert(bytes.end(), data, data + size);
        return true;
    }
    std::vector<std::uint8_t> bytes;
};

}  // namespace tarnwick::testing
