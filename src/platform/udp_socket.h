// Datagram sockets for one-shot queries: bound to an ephemeral port, so answers come straight
// back to it; sends to a numeric address (multicast ones leave with the link-local TTL 255);
// receives with a bounded wait.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "platform/socket.h"

namespace platform {

class UdpSocket {
  public:
    // An IPv4 socket on an ephemeral port of every interface; SocketError when none is made.
    UdpSocket();
    ~UdpSocket();
    UdpSocket(const UdpSocket&) = delete;
    UdpSocket& operator=(const UdpSocket&) = delete;

    // Sends one datagram to a numeric IPv4 address; false when it did not go out anywhere. A
    // multicast datagram goes out on every interface that is up and takes multicast (the
    // multicast route's alone when there is none such): the default route may lead to a VPN or
    // a virtual adapter rather than the office network.
    bool sendTo(const void* data, std::size_t count, const std::string& address, int port);
    // Waits up to timeoutMs for one datagram and takes it; its size, 0 when none came in time.
    // A datagram longer than capacity is dropped whole (0).
    std::size_t receive(void* buffer, std::size_t capacity, int timeoutMs);

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace platform
