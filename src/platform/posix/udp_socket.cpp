#include "platform/udp_socket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace platform {

namespace {

[[noreturn]] void raise(const char* what, int error) {
    throw SocketError(std::string(what) + ": " + std::strerror(error));
}

}  // namespace

struct UdpSocket::Impl {
    int fd = -1;
};

UdpSocket::UdpSocket() : impl_(std::make_unique<Impl>()) {
    impl_->fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP);
    if (impl_->fd < 0) raise("socket", errno);
    sockaddr_in any{};
    any.sin_family = AF_INET;
    any.sin_addr.s_addr = htonl(INADDR_ANY);
    if (::bind(impl_->fd, reinterpret_cast<const sockaddr*>(&any), sizeof any) != 0) {
        const int error = errno;
        ::close(impl_->fd);
        raise("bind", error);
    }
    // Multicast DNS is link-local: responders drop queries that crossed a router.
    const unsigned char ttl = 255;
    ::setsockopt(impl_->fd, IPPROTO_IP, IP_MULTICAST_TTL, &ttl, sizeof ttl);
}

UdpSocket::~UdpSocket() {
    ::close(impl_->fd);
}

bool UdpSocket::sendTo(const void* data, std::size_t count, const std::string& address, int port) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<std::uint16_t>(port));
    if (::inet_pton(AF_INET, address.c_str(), &to.sin_addr) != 1) return false;
    for (;;) {
        const ssize_t n = ::sendto(impl_->fd, data, count, MSG_NOSIGNAL,
                                   reinterpret_cast<const sockaddr*>(&to), sizeof to);
        if (n >= 0) return static_cast<std::size_t>(n) == count;
        if (errno != EINTR) return false;
    }
}

std::size_t UdpSocket::receive(void* buffer, std::size_t capacity, int timeoutMs) {
    pollfd p{impl_->fd, POLLIN, 0};
    int n = ::poll(&p, 1, timeoutMs < 0 ? 0 : timeoutMs);
    if (n < 0 && errno != EINTR) raise("poll", errno);
    if (n <= 0) return 0;
    // MSG_TRUNC: the datagram's real length, so that a cut one is known and dropped.
    const ssize_t got = ::recv(impl_->fd, buffer, capacity, MSG_TRUNC | MSG_DONTWAIT);
    if (got < 0) {
        if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK || errno == ECONNREFUSED)
            return 0;
        raise("recv", errno);
    }
    if (static_cast<std::size_t>(got) > capacity) return 0;
    return static_cast<std::size_t>(got);
}

}  // namespace platform
