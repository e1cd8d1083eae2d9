// Where reply decoders take their bytes from: a socket stream, or captured bytes in tests.
#pragma once

#include <cstddef>

namespace tarnwick {

enum class ReadOutcome {
    data,      // count bytes arrived (count > 0)
    timedOut,  // nothing arrived within the wait
    closed,    // the peer closed the connection: no byte will ever come
    stopped,   // the wait hook asked to stop waiting
    error,     // the socket layer failed
};

struct ReadResult {
    std::size_t count = 0;
    ReadOutcome outcome = ReadOutcome::closed;
};

class ByteSource {
  public:
    virtual ~ByteSource() = default;
    // Waits for input and reads between 1 and count bytes (count > 0).
    virtual ReadResult readSome(void* buffer, std::size_t count) = 0;
    // Reads what arrives within quietMs; 0 when the line stayed quiet or was closed.
    virtual std::size_t readIfAny(void* buffer, std::size_t count, int quietMs) = 0;
};

// Bytes held in memory; the end of them reads like a closed connection.
class MemorySource : public ByteSource {
  public:
    MemorySource(const void* data, std::size_t size)
        : data_(static_cast<const unsigned char*>(data)), size_(size) {}
    ReadResult readSome(void* buffer, std::size_t count) override;
    std::size_t readIfAny(void* buffer, std::size_t count, int quietMs) override;
    std::size_t consumed() const { return offset_; }

  private:
    const unsigned char* data_;
    std::size_t size_;
    std::size_t offset_ = 0;
};

}  // namespace tarnwick
