// The timed stream over an open socket: the control or data connection's byte source and sink.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/socket.h"
#include "sane/byte_source.h"

namespace tarnwick {

// Process-wide socket time-out in milliseconds; the window sets it from the settings.
extern int socketTimeout;

// Called about every kWaitSliceMs while a read waits; false stops the wait.
using WaitHook = std::function<bool()>;
inline constexpr int kWaitSliceMs = 50;

class SocketStream : public ByteSource {
  public:
    // Writes wait up to the time-out current at creation; read waits use the current one.
    SocketStream(platform::TcpSocket& socket, WaitHook waitHook);
    ReadResult readSome(void* buffer, std::size_t count) override;
    std::size_t readIfAny(void* buffer, std::size_t count, int quietMs) override;
    // The bytes sent: fewer than count when the line took no more within the time-out.
    std::size_t write(const void* data, std::size_t count);

  private:
    // Small reads (a word, a short reply) are served from one larger receive, so that a reply
    // or a record costs one system call rather than one per field; large reads go straight.
    static constexpr std::size_t kReadAhead = 0x10000;
    std::size_t takeAhead(void* buffer, std::size_t count);
    std::size_t receive(void* buffer, std::size_t count);

    platform::TcpSocket& socket_;
    int writeTimeout_;
    WaitHook waitHook_;
    std::unique_ptr<std::uint8_t[]> ahead_;
    std::size_t aheadBegin_ = 0, aheadEnd_ = 0;
};

}  // namespace tarnwick
