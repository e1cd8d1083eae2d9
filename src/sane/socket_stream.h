// The timed stream over an open socket: the control or data connection's byte source and sink.
#pragma once

#include <cstddef>

#include "platform/socket.h"
#include "sane/byte_source.h"

namespace tarnwick {

// Process-wide socket time-out in milliseconds; the window sets it from the settings.
extern int socketTimeout;

class SocketStream : public ByteSource {
  public:
    // Writes wait up to the time-out current at creation; read waits use the current one.
    explicit SocketStream(platform::TcpSocket& socket);
    ReadResult readSome(void* buffer, std::size_t count) override;
    std::size_t readIfAny(void* buffer, std::size_t count, int quietMs) override;
    // False when the line took nothing within the time-out.
    bool write(const void* data, std::size_t count);

  private:
    platform::TcpSocket& socket_;
    int writeTimeout_;
};

}  // namespace tarnwick
