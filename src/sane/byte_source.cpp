#include "sane/byte_source.h"

#include <algorithm>
#include <cstring>

namespace tarnwick {

ReadResult MemorySource::readSome(void* buffer, std::size_t count) {
    std::size_t n = std::min(count, size_ - offset_);
    if (n == 0) return {0, ReadOutcome::closed};
    std::memcpy(buffer, data_ + offset_, n);
    offset_ += n;
    return {n, ReadOutcome::data};
}

std::size_t MemorySource::readIfAny(void* buffer, std::size_t count, int) {
    return readSome(buffer, count).count;
}

}  // namespace tarnwick
