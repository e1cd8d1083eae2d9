// Blocking TCP client sockets with host-name lookup and readiness waits.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

namespace platform {

// A transport failure of the socket layer (lookup, connect, send, receive), with the system's text.
class SocketError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

enum class SocketEvent { lookingUp, connecting, connected };

class TcpSocket {
  public:
    TcpSocket();
    ~TcpSocket();
    TcpSocket(const TcpSocket&) = delete;
    TcpSocket& operator=(const TcpSocket&) = delete;

    // Looks the host up and connects to the first address that accepts within timeoutMs (for
    // all addresses together: a host that is off must not hold the caller for minutes); events
    // report progress.
    void connect(const std::string& host, int port, int timeoutMs,
                 const std::function<void(SocketEvent)>& events);
    bool isOpen() const;
    void close();

    // Waits up to timeoutMs for input (or the peer's close) to be readable.
    bool waitReadable(int timeoutMs);
    // Reads up to count bytes of what is there; 0 when the peer has closed the connection.
    std::size_t receive(void* buffer, std::size_t count);
    // Sends all bytes, each wait for the line to take more bounded by timeoutMs; the bytes sent,
    // fewer than count when a wait expired.
    std::size_t sendAll(const void* data, std::size_t count, int timeoutMs);

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace platform
