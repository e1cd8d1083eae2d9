// Reading the wire types from a byte source, with time-out and protocol-error reports.
#pragma once

#include <cstddef>
#include <string>

#include "sane/byte_source.h"
#include "sane/status.h"
#include "sane/wire_types.h"

namespace tarnwick {

// Once a read has failed (time-out, closed connection, out-of-bounds value) the reader stays
// failed: the reply is cut and the stream is out of step, so further reads return 0 or empty
// at once instead of waiting on the socket again. Each failure is reported once, fatal.
class WireReader {
  public:
    WireReader(ByteSource& source, const StatusCallback& callback)
        : source_(source), callback_(callback) {}

    // A big-endian signed word; 0 after a failure.
    Word readWord();
    // Exactly count bytes; false (buffer holding what arrived) after a failure.
    bool readBytes(void* buffer, std::size_t count);
    // Reads and drops count bytes.
    bool skipBytes(std::size_t count);
    // A SANE_String: length 0 is the empty text; otherwise the bytes up to the first NUL.
    std::string readString();
    // A word that must lie in [0, max]; anything else is a protocol error naming the field
    // (the result is then 0).
    Word readCount(Word max, const char* field);
    // Reads and drops whatever arrives until the line has been quiet for 10 ms.
    void discardInput();

    // Up to count bytes that arrive within quietMs; 0 when none did (no failure then).
    std::size_t readIfAny(void* buffer, std::size_t count, int quietMs);

    // A new reply begins: its memory budget (kMaxReplyBytes) is full again.
    void startReply() { replyBytes_ = 0; }
    // Takes bytes the reply's values will keep from its budget; a reply beyond it is a
    // protocol error (false).
    bool charge(std::size_t bytes);

    // Reports an out-of-bounds value and fails the reader.
    void protocolError(const char* field, long long value);
    // Fails the reader with a fatal report of the message (none for an empty message).
    void fail(const std::string& message);
    bool failed() const { return failed_; }

  private:
    bool collect(void* buffer, std::size_t count, const char* timeoutMessage);

    ByteSource& source_;
    const StatusCallback& callback_;
    bool failed_ = false;
    std::size_t replyBytes_ = 0;
};

}  // namespace tarnwick
