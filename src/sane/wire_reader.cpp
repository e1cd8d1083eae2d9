#include "sane/wire_reader.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "base/translate.h"

namespace tarnwick {

void WireReader::fail(const std::string& message) {
    if (failed_) return;
    failed_ = true;
    if (!message.empty()) report(callback_, message, true, true);
}

void WireReader::protocolError(const char* field, long long value) {
    if (failed_) return;
    failed_ = true;
    report(callback_,
           tr("Protocol error: the daemon sent a value out of bounds") + " (" + field + " " +
               std::to_string(value) + ")",
           true, true);
}

// A daemon that closes the connection leaves the socket readable with nothing to read; the
// read ends there instead of waiting on for ever.
bool WireReader::collect(void* buffer, std::size_t count, const char* timeoutMessage) {
    if (failed_) return false;
    auto* out = static_cast<std::uint8_t*>(buffer);
    std::size_t received = 0;
    while (received < count) {
        ReadResult result = source_.readSome(out + received, count - received);
        if (result.outcome == ReadOutcome::error) {
            fail(tr("An error occured with socket communication"));
            return false;
        }
        if (result.outcome == ReadOutcome::stopped) {
            // Whoever stopped the wait tells why.
            fail({});
            return false;
        }
        if (result.outcome == ReadOutcome::closed) {
            fail(tr("The daemon closed the connection"));
            return false;
        }
        if (result.outcome != ReadOutcome::data) {
            fail(tr(timeoutMessage));
            return false;
        }
        received += result.count;
    }
    return true;
}

Word WireReader::readWord() {
    std::uint8_t bytes[4] = {};
    if (!collect(bytes, 4, "Time out reading word from socket")) return 0;
    return static_cast<Word>((std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
                             (std::uint32_t{bytes[2]} << 8) | std::uint32_t{bytes[3]});
}

bool WireReader::readBytes(void* buffer, std::size_t count) {
    return collect(buffer, count, "Time out reading bytes from socket");
}

bool WireReader::skipBytes(std::size_t count) {
    std::uint8_t scratch[4096];
    while (count > 0 && !failed_) {
        std::size_t n = count < sizeof scratch ? count : sizeof scratch;
        if (!readBytes(scratch, n)) return false;
        count -= n;
    }
    return !failed_;
}

std::string WireReader::readString() {
    Word length = readWord();
    if (failed_ || length == 0) return {};
    if (length < 0 || length > kMaxStringLength) {
        protocolError("string length", length);
        return {};
    }
    if (!charge(sizeof(std::string) + static_cast<std::size_t>(length))) return {};
    std::vector<char> buffer(static_cast<std::size_t>(length));
    if (!collect(buffer.data(), buffer.size(), "Time out reading string from socket")) return {};
    const void* nul = std::memchr(buffer.data(), 0, buffer.size());
    std::size_t size = nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - buffer.data())
                           : buffer.size();
    return std::string(buffer.data(), size);
}

bool WireReader::charge(std::size_t bytes) {
    if (failed_) return false;
    if (bytes > kMaxReplyBytes - replyBytes_) {
        protocolError("reply size", static_cast<long long>(replyBytes_ + bytes));
        return false;
    }
    replyBytes_ += bytes;
    return true;
}

Word WireReader::readCount(Word max, const char* field) {
    Word value = readWord();
    if (failed_) return 0;
    if (value < 0 || value > max) {
        protocolError(field, value);
        return 0;
    }
    return value;
}

std::size_t WireReader::readIfAny(void* buffer, std::size_t count, int quietMs) {
    if (failed_) return 0;
    return source_.readIfAny(buffer, count, quietMs);
}

void WireReader::discardInput() {
    if (failed_) return;
    std::uint8_t scratch[256];
    while (source_.readIfAny(scratch, 250, 10) > 0) {
    }
}

}  // namespace tarnwick
