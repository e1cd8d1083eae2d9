#include "platform/socket.h"

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <fcntl.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace platform {

namespace {

[[noreturn]] void raise(const char* what, int error) {
    throw SocketError(std::string(what) + ": " + std::strerror(error));
}

// Waits for the events on fd; false when the time-out passed first.
bool waitFor(int fd, short events, int timeoutMs) {
    pollfd p{fd, events, 0};
    for (;;) {
        int n = ::poll(&p, 1, timeoutMs < 0 ? 0 : timeoutMs);
        if (n > 0) return true;
        if (n == 0) return false;
        if (errno != EINTR) raise("poll", errno);
    }
}

// Connects without blocking beyond the deadline; 0 when connected, else the error.
int connectBefore(int fd, const addrinfo& a, std::chrono::steady_clock::time_point deadline) {
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) < 0) return errno;
    if (::connect(fd, a.ai_addr, a.ai_addrlen) != 0) {
        if (errno != EINPROGRESS) return errno;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0 || !waitFor(fd, POLLOUT, static_cast<int>(left))) return ETIMEDOUT;
        int error = 0;
        socklen_t size = sizeof error;
        if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0) return errno;
        if (error != 0) return error;
    }
    return ::fcntl(fd, F_SETFL, flags) < 0 ? errno : 0;
}

}  // namespace

struct TcpSocket::Impl {
    int fd = -1;
};

TcpSocket::TcpSocket() : impl_(std::make_unique<Impl>()) {}

TcpSocket::~TcpSocket() {
    close();
}

bool TcpSocket::isOpen() const {
    return impl_->fd >= 0;
}

void TcpSocket::close() {
    if (impl_->fd >= 0) ::close(impl_->fd);
    impl_->fd = -1;
}

void TcpSocket::connect(const std::string& host, int port, int timeoutMs,
                        const std::function<void(SocketEvent)>& events) {
    close();
    if (events) events(SocketEvent::lookingUp);
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    std::string service = std::to_string(port);
    int rc = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &found);
    if (rc != 0) throw SocketError("getaddrinfo: " + std::string(::gai_strerror(rc)));
    if (events) events(SocketEvent::connecting);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    int lastError = ECONNREFUSED;
    for (addrinfo* a = found; a; a = a->ai_next) {
        int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0) {
            lastError = errno;
            continue;
        }
        lastError = connectBefore(fd, *a, deadline);
        if (lastError == 0) {
            // Requests are small and answered at once: no waiting for more bytes to batch.
            int one = 1;
            ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
            impl_->fd = fd;
            break;
        }
        ::close(fd);
    }
    ::freeaddrinfo(found);
    if (impl_->fd < 0) raise("connect", lastError);
    if (events) events(SocketEvent::connected);
}

bool TcpSocket::waitReadable(int timeoutMs) {
    if (impl_->fd < 0) throw SocketError("socket is not open");
    return waitFor(impl_->fd, POLLIN, timeoutMs);
}

std::size_t TcpSocket::receive(void* buffer, std::size_t count) {
    if (impl_->fd < 0) throw SocketError("socket is not open");
    for (;;) {
        ssize_t n = ::recv(impl_->fd, buffer, count, 0);
        if (n >= 0) return static_cast<std::size_t>(n);
        if (errno != EINTR) raise("recv", errno);
    }
}

std::size_t TcpSocket::sendAll(const void* data, std::size_t count, int timeoutMs) {
    if (impl_->fd < 0) throw SocketError("socket is not open");
    const auto* p = static_cast<const char*>(data);
    const std::size_t total = count;
    while (count > 0) {
        if (!waitFor(impl_->fd, POLLOUT, timeoutMs)) return total - count;
        // Without waiting: a blocking send of a large request would outlast the time-out.
        ssize_t n = ::send(impl_->fd, p, count, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN) continue;
            raise("send", errno);
        }
        p += n;
        count -= static_cast<std::size_t>(n);
    }
    return total;
}

}  // namespace platform
